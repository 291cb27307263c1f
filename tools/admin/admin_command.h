// What every brenlow-admin command shares: how it reports, how it fails and the formats of its
// output. A command writes its result to stdout and returns the process's exit code: 0 done,
// 1 refused input or failed statement (one line on stderr naming what and where). Usage errors
// (2) are the argument parser's. Store failures that the shared functions report through the
// message interface are collected by StoreMessages and end up in that one line.
#pragma once

#include <string>
#include <vector>

#include "core/messages.h"

namespace brenlow::admin {

inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kUsageError = 2;

enum class OutputFormat { kTable, kCsv, kJson };

// Installed for the whole run: keeps what the store and the shared functions report instead of
// writing it at once, so that a command can say it in its own line. Never asks (a question is
// answered No; no command path asks one).
class StoreMessages final : public MessageHandler {
 public:
  StoreMessages() { InstallMessageHandler(this); }
  ~StoreMessages() override { InstallMessageHandler(nullptr); }
  MessageAnswer show(const Message& message) override;
  // Everything reported since the last call, joined by "; ", and forgotten.
  std::string take();

 private:
  std::vector<std::string> texts_;  // one thread
};

// Writes "brenlow-admin: <where>: <what>" to stderr and returns kRefused.
int Refuse(const std::string& where, const std::string& what);

// A date text "YYYY-MM-DD" of a real calendar day.
bool IsDate(const std::string& text);

}  // namespace brenlow::admin
