#include "app/network_workers.h"

#include "controllers/controller_listener.h"
#include "data/busy_wait.h"
#include "net/ports.h"
#include "net/select_loop.h"
#include "terminals/client_service.h"
#include "terminals/terminal_service.h"

namespace brenlow {

std::vector<WorkerSpec> NetworkWorkers(const std::string& listenAddress, const Clock& clock,
                                       size_t maxConnectionsPerAddress, bool replyCache) {
  LoopLimits limits;
  limits.perAddress = maxConnectionsPerAddress;
  ConnectionService terminalService =
      replyCache ? CachingTerminalService() : ConnectionService(TerminalService);
  ConnectionService clientService =
      replyCache ? CachingClientService() : ConnectionService(ClientService);
  return {
      // The controller listener.
      {std::chrono::milliseconds(50),
       [listenAddress, &clock](std::stop_token stop) {
         RunControllerListener(listenAddress, clock, stop);
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
