#include "data/store.h"

#include "data/connection.h"

namespace brenlow {

Status Store::probe() const {
  Status status;
  AcquireConnection(path_, &status);
  return status;
}

}  // namespace brenlow
