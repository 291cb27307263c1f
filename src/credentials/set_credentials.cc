#include "credentials/set_credentials.h"

#include <termios.h>
#include <unistd.h>

#include <QString>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>

#include "credentials/credentials.h"
#include "credentials/credentials_rules.h"

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

// The terminal's settings while echo is off, for the signal handler to put back.
termios savedTerminal{};

// A signal while echo is off (Ctrl-C at the password prompt, the terminal closed, a kill) must
// not leave the terminal without echo: the settings go back, then the signal does what it would
// have done (ends the program with its status). Only async-signal-safe calls.
extern "C" void RestoreTerminalAndResignal(int number) {
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
  ::signal(number, SIG_DFL);
  ::raise(number);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Echo off from construction to destruction, and on again whatever signal ends the program.
class EchoOff {
 public:
  EchoOff() {
    if (::tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
      return;
    active_ = true;
    struct sigaction restore {};
    restore.sa_handler = RestoreTerminalAndResignal;
    sigemptyset(&restore.sa_mask);
    for (size_t i = 0; i < std::size(kEndingSignals); ++i)
      ::sigaction(kEndingSignals[i], &restore, &previous_[i]);
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (!active_)
      return;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    for (size_t i = 0; i < std::size(kEndingSignals); ++i)
      ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
    std::fputs("\n", stderr);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool active_ = false;
  struct sigaction previous_[std::size(kEndingSignals)]{};
};

// Asks on the terminal; the answer is not echoed when hidden.
std::optional<std::string> Ask(const char* prompt, bool hidden) {
  std::fputs(prompt, stderr);
  std::fflush(stderr);
  if (!hidden)
    return ReadLine();
  EchoOff echoOff;
  return ReadLine();
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
