#include "support/headless_server.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "net/ports.h"
#include "support/kernel_sockets.h"
#include "support/wait_for.h"

namespace brenlow::testing {
namespace {

std::vector<std::string> Concatenated(std::vector<std::string> first,
                                      const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace

std::vector<std::string> HeadlessArguments(const std::string& databasePath) {
  return {"--headless", "--listen", "127.0.0.1", "--database", databasePath};
}

bool ProgramPortsServed() {
  return PortServed(kControllerListenPort, Transport::kUdp) &&
         PortServed(kTerminalPort, Transport::kTcp) && PortServed(kClientPort, Transport::kTcp);
}

HeadlessServer::HeadlessServer(const std::string& databasePath,
                               const std::vector<std::string>& extraArguments)
    : program_(ProgramPath(), Concatenated(HeadlessArguments(databasePath), extraArguments)) {
  // The ports are bound after start-up has prepared the store, by workers that start a moment
  // apart; a program that ended (a second copy, say) will never serve them.
  ready_ =
      WaitFor([this] { return !program_.running() || ProgramPortsServed(); }) && program_.running();
  if (!ready_)
    ADD_FAILURE() << "the headless server does not serve; it wrote: " << program_.errors();
}

int HeadlessServer::stop(std::chrono::milliseconds timeout) {
  program_.signal(SIGTERM);
  return program_.wait(timeout);
}

int HeadlessServer::kill(std::chrono::milliseconds timeout) {
  program_.signal(SIGKILL);
  return program_.wait(timeout);
}

}  // namespace brenlow::testing
