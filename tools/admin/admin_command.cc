#include "admin_command.h"

#include <cstdio>
#include <iostream>

#include "core/shown_text.h"

namespace brenlow::admin {

MessageAnswer StoreMessages::show(const Message& message) {
  texts_.push_back(message.detail.empty() ? message.text : message.text + " " + message.detail);
  return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

std::string StoreMessages::take() {
  std::string joined;
  for (const std::string& text : texts_)
    joined += (joined.empty() ? "" : "; ") + text;
  texts_.clear();
  return joined;
}

int Refuse(const std::string& where, const std::string& what) {
  std::string line = where + ": " + what;
  for (char& c : line) {
    if (c == '\n' || c == '\r')
      c = ' ';
  }
  // The line repeats names typed or stored; a terminal must not obey what they hold.
  std::cerr << "brenlow-admin: " << ShownText(line) << std::endl;
  return kRefused;
}

bool IsDate(const std::string& text) {
  int year = 0;
  int month = 0;
  int day = 0;
  char end = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3)
    return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9')
      return false;
  }
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
    return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return !(month == 2 && day == 29 && !leap);
}

}  // namespace brenlow::admin
