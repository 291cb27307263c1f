#include "support/recording_messages.h"

namespace brenlow::testing {

MessageAnswer RecordingMessages::show(const Message& message) {
  std::lock_guard lock(mutex_);
  messages_.push_back(message);
  if (message.buttons == MessageButtons::kOk)
    return MessageAnswer::kOk;
  if (answers_.empty())
    return MessageAnswer::kNo;
  MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingMessages::scriptAnswers(std::vector<MessageAnswer> answers) {
  std::lock_guard lock(mutex_);
  answers_.assign(answers.begin(), answers.end());
}

std::vector<Message> RecordingMessages::messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<std::string> RecordingMessages::texts() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  for (const Message& message : messages_)
    texts.push_back(message.text);
  return texts;
}

void RecordingMessages::clear() {
  std::lock_guard lock(mutex_);
  messages_.clear();
}

}  // namespace brenlow::testing
