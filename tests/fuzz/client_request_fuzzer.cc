// Any bytes a terminal can send to port 62124, as one receive of the client service (up to
// 8 KiB, any number of requests), against a store of classes whose texts test every field's
// room. Edits are carried out for real; their rows keep their number and class, so every input
// meets the same rows. Every reply must be a teacher list: whole 80-byte records, then the
// 40-byte end record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/connection.h"
#include "fuzz/fuzz_store.h"
#include "fuzz/terminal_store.h"
#include "net/client_records.h"
#include "net/client_service.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  fuzzing::FuzzStore(fuzzing::kTerminalStoreSeed);
  fuzzing::QuietLog();
  // Edits commit without waiting for the disk: many thousands of them a second.
  static const bool relaxed = [] {
    UseRelaxedDurabilityOnThisThread();
    return true;
  }();
  (void)relaxed;
  std::string_view received(reinterpret_cast<const char*>(data),
                            size < kClientReceiveCapacity ? size : kClientReceiveCapacity);
  static const std::string kEnd = EndRecordBytes();
  int replies = 0;
  ServeClientRequests(received, [&](const Reply& reply) {
    const std::string& bytes = reply.bytes();
    if (!bytes.empty() &&
        (bytes.size() < kEndRecordSize ||
         (bytes.size() - kEndRecordSize) % kTeacherNameRecordSize != 0 ||
         bytes.compare(bytes.size() - kEndRecordSize, kEndRecordSize, kEnd) != 0)) {
      abort();
    }
    // Every request takes at least a header's bytes.
    if (++replies > static_cast<int>(received.size() / kTerminalRequestSize))
      abort();
    return true;
  });
  return 0;
}
