#include "core/messages.h"

#include <atomic>
#include <cstdio>

#include "core/shown_text.h"

namespace brenlow {
namespace {

std::atomic<MessageHandler*> installedHandler{nullptr};
std::atomic<LineSink*> installedSink{nullptr};

}  // namespace

void InstallMessageHandler(MessageHandler* handler) {
  installedHandler.store(handler);
}

void InstallLineSink(LineSink* sink) {
  installedSink.store(sink);
}

MessageAnswer ShowMessage(const Message& message) {
  if (MessageHandler* handler = installedHandler.load()) {
    return handler->show(message);
  }
  WriteStderrLine(message.detail.empty() ? message.text : message.text + " " + message.detail);
  return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

void WriteStderrLine(const std::string& text) {
  std::string oneLine = text;
  for (char& c : oneLine) {
    if (c == '\n' || c == '\r')
      c = ' ';
  }
  // Log lines carry texts from the network: a terminal reading the log must not obey them.
  std::string line = "brenlow: " + ShownText(oneLine);
  if (LineSink* sink = installedSink.load()) {
    sink->write(line);
    return;
  }
  line += '\n';
  // One write keeps lines of different threads from interleaving.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace brenlow
