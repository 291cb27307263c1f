#include "app/server.h"
#include "net/controller_listener.h"

namespace brenlow {

std::vector<WorkerSpec> NetworkWorkers(const std::string& listenAddress, const Clock& clock) {
  return {
      {"ControllerListener", std::chrono::milliseconds(50),
       [listenAddress, &clock](std::stop_token stop) {
         RunControllerListener(listenAddress, clock, stop);
       }},
  };
}

}  // namespace brenlow
