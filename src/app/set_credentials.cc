#include "app/set_credentials.h"

#include <termios.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <iostream>
#include <optional>

#include "app/credentials.h"
#include "app/credentials_rules.h"

namespace brenlow {
namespace {

// One line of standard input without its line end; nullopt at the end of the input.
std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line))
    return std::nullopt;
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return line;
}

// Asks on the terminal; the answer is not echoed when hidden.
std::optional<std::string> Ask(const char* prompt, bool hidden) {
  std::fputs(prompt, stderr);
  std::fflush(stderr);
  termios saved{};
  bool echoOff = hidden && ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (echoOff) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::optional<std::string> answer = ReadLine();
  if (echoOff) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
  }
  return answer;
}

int Refuse(const std::string& why) {
  std::fprintf(stderr, "brenlow: %s; the credentials were not changed\n", why.c_str());
  return 1;
}

}  // namespace

int RunSetCredentials(const std::string& filePath) {
  std::optional<std::string> userName;
  std::optional<std::string> passWord;
  if (::isatty(STDIN_FILENO)) {
    userName = Ask("User name: ", false);
    passWord = userName ? Ask("Password: ", true) : std::nullopt;
    std::optional<std::string> again = passWord ? Ask("Password again: ", true) : std::nullopt;
    if (again && *again != *passWord)
      return Refuse("the two passwords differ");
    if (!again)
      passWord.reset();
  } else {
    userName = ReadLine();
    passWord = userName ? ReadLine() : std::nullopt;
  }
  if (!userName || !passWord)
    return Refuse("the input ended before the user name and the password were given");

  QString plainUserName = QString::fromStdString(*userName);
  QString plainPassWord = QString::fromStdString(*passWord);
  if (std::optional<std::string> refusal = NewCredentialsRefusal(plainUserName, plainPassWord))
    return Refuse(*refusal);
  std::string error;
  if (!WriteCredentials(filePath, *ScrambleText(plainUserName, kUserNameOffset),
                        *ScrambleText(plainPassWord, kPassWordOffset), &error)) {
    return Refuse(error);
  }
  std::fprintf(stderr, "brenlow: credentials written to %s; they count from the next login\n",
               filePath.c_str());
  return 0;
}

}  // namespace brenlow
