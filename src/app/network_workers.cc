#include "app/network_workers.h"

#include "controllers/controller_listener.h"
#include "data/busy_wait.h"
#include "net/ports.h"
#include "net/select_loop.h"
#include "terminals/client_service.h"
#include "terminals/terminal_service.h"

namespace brenlow {

std::vector<WorkerSpec> NetworkWorkers(const std::string& listenAddress, const Clock& clock,
                                       const Store& store, size_t maxConnectionsPerAddress,
                                       bool replyCache) {
  LoopLimits limits;
  limits.perAddress = maxConnectionsPerAddress;
  ConnectionService terminalService =
      replyCache ? CachingTerminalService(store) : TerminalServiceOn(store);
  ConnectionService clientService =
      replyCache ? CachingClientService(store) : ClientServiceOn(store);
  return {
      // The controller listener.
      {std::chrono::milliseconds(50),
       [listenAddress, &clock, store](std::stop_token stop) {
         RunControllerListener(listenAddress, clock, store, stop);
       }},
      // Port 64124.
      {std::chrono::milliseconds(150),
       [listenAddress, limits, &clock, terminalService](std::stop_token stop) {
         GiveUpStoreWaitsOnStop(stop);
         SelectLoop(listenAddress, kTerminalPort, terminalService, clock, limits).run(stop);
       }},
      // Port 62124.
      {std::chrono::milliseconds(250),
       [listenAddress, limits, &clock, clientService](std::stop_token stop) {
         GiveUpStoreWaitsOnStop(stop);
         SelectLoop(listenAddress, kClientPort, clientService, clock, limits).run(stop);
       }},
  };
}

}  // namespace brenlow
