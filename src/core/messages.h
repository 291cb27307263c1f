// Message boxes of the system. Every part reports through ShowMessage; the application installs
// the handler that decides what a message becomes (a modal box on the user-interface thread, a
// queued box plus a stderr line from a worker, one stderr line when headless, a recording in
// tests). Without an installed handler a message is written to stderr.
#pragma once

#include <string>
#include <utility>

namespace brenlow {

// The caption of every message box that names no caption of its own.
inline constexpr const char* kApplicationTitle = "Brenlow";

enum class MessageButtons { kOk, kYesNo };
enum class MessageIcon { kNone, kInformation, kWarning, kQuestion };
enum class MessageAnswer { kOk, kYes, kNo };

struct Message {
  Message() = default;
  explicit Message(std::string messageText, MessageIcon messageIcon = MessageIcon::kNone)
      : text(std::move(messageText)), icon(messageIcon) {}

  std::string text;
  std::string caption = kApplicationTitle;
  MessageButtons buttons = MessageButtons::kOk;
  MessageIcon icon = MessageIcon::kNone;
  // Extra lines shown on request under the main text (refused lines of an import, say); the
  // main text stays exactly the specified one.
  std::string detail;
};

class MessageHandler {
 public:
  virtual ~MessageHandler() = default;
  // Called on any thread. A handler that cannot ask (a worker thread, headless) answers kOk for
  // an OK box and kNo for a question.
  virtual MessageAnswer show(const Message& message) = 0;
};

// Installs the process's handler (not owned; it must outlive every caller). nullptr restores
// the stderr default. Thread-safe.
void InstallMessageHandler(MessageHandler* handler);

MessageAnswer ShowMessage(const Message& message);
inline MessageAnswer ShowMessage(const std::string& text) {
  return ShowMessage(Message{text});
}

// Writes one line "brenlow: <text>" to stderr, line breaks inside the text turned into blanks
// and other control characters escaped (shown_text.h).
// Under systemd stderr is the journal, so these lines are the server's log. Thread-safe.
void WriteStderrLine(const std::string& text);

// Where WriteStderrLine's lines go instead of stderr: tests that read the log install one.
class LineSink {
 public:
  virtual ~LineSink() = default;
  // Called on the writing thread with the whole line, "brenlow: " included, no line break.
  virtual void write(const std::string& line) = 0;
};

// Installs sink (not owned; it must outlive every writer). nullptr restores stderr.
void InstallLineSink(LineSink* sink);

}  // namespace brenlow
