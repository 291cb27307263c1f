// A message handler for tests: keeps every message and answers from a script (Yes, No, OK).
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/messages.h"

namespace brenlow::testing {

class RecordingMessages final : public MessageHandler {
 public:
  RecordingMessages() { InstallMessageHandler(this); }
  ~RecordingMessages() override { InstallMessageHandler(nullptr); }

  MessageAnswer show(const Message& message) override;

  // The next questions are answered with these, in order; unscripted questions get kNo.
  void scriptAnswers(std::vector<MessageAnswer> answers);

  std::vector<Message> messages() const;
  std::vector<std::string> texts() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<Message> messages_;      // guarded by mutex_
  std::deque<MessageAnswer> answers_;  // guarded by mutex_
};

}  // namespace brenlow::testing
