// The command line of brenlow-terminal: which server, which hardware addresses, which request.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace brenlow {

struct TerminalCommand {
  bool help = false;
  bool version = false;
  std::string error;  // set when the arguments are not understood

  std::string host = "127.0.0.1";
  uint16_t port = 0;                   // the request's port unless --port names another
  std::vector<std::string> addresses;  // up to three hardware addresses, slots 1 to 3
  std::string request;                 // class-name, periods, ..., edit-course
  bool clientPort = false;             // the request belongs to port 62124
  int32_t kind = 0;
  bool answered = true;                  // the server answers this request
  std::string bytes;                     // the request as sent
  std::chrono::milliseconds quiet{500};  // a reply has ended after this long without bytes
};

TerminalCommand ParseTerminalCommand(const std::vector<std::string>& arguments);

std::string TerminalHelpText();

}  // namespace brenlow
