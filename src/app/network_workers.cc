#include "app/server.h"

namespace brenlow {

std::vector<WorkerSpec> NetworkWorkers(const std::string& listenAddress, const Clock& clock) {
  (void)listenAddress;
  (void)clock;
  return {};
}

void MinuteTick(const Clock& clock) {
  (void)clock;
}

}  // namespace brenlow
