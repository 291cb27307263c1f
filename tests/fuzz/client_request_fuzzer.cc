// Any bytes a terminal can send to port 62124, as a stream of requests (up to 8 KiB), against a
// store of classes whose texts test every field's room. Edits are carried out for real; their rows
// keep their number and class, so every input meets the same rows. Every reply must be a teacher
// list: whole 80-byte records, then the 40-byte end record, the same bytes through a reply
// cache kept across inputs as without one (edits write through the same connection).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/connection.h"
#include "fuzz/fuzz_store.h"
#include "fuzz/terminal_store.h"
#include "terminals/client_records.h"
#include "terminals/client_service.h"
#include "terminals/reply_cache.h"
#include "terminals/terminal_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  static const Store store(fuzzing::FuzzStore(fuzzing::kTerminalStoreSeed));
  fuzzing::QuietLog();
  // Edits commit without waiting for the disk: many thousands of them a second.
  static const bool relaxed = [] {
    UseRelaxedDurabilityOnThisThread();
    return true;
  }();
  (void)relaxed;
  std::string_view rest(reinterpret_cast<const char*>(data), size < 8192 ? size : 8192);
  static const std::string kEnd = EndRecordBytes();
  while (!rest.empty()) {
    static ReplyCache* cache =
        new ReplyCache({.entries = 64, .bytes = 256 * 1024, .replyBytes = 64 * 1024});
    std::string bytes;
    size_t taken = ServeClientRequest(store, rest, "127.0.0.1", bytes, cache);
    if (taken == 0)
      break;  // an unfinished request: the loop would wait for its bytes
    if (!bytes.empty()) {
      // A teacher list, which writes nothing: asked again without the cache.
      std::string uncached;
      ClientService(store, rest, "127.0.0.1", uncached);
      if (uncached != bytes)
        abort();
    }
    // Every request takes at least a header's bytes; only an unknown kind takes everything.
    if (taken > rest.size() || (taken < kTerminalRequestSize && taken != rest.size()))
      abort();
    if (!bytes.empty() &&
        (bytes.size() < kEndRecordSize ||
         (bytes.size() - kEndRecordSize) % kTeacherNameRecordSize != 0 ||
         bytes.compare(bytes.size() - kEndRecordSize, kEndRecordSize, kEnd) != 0)) {
      abort();
    }
    rest.remove_prefix(taken);
  }
  return 0;
}
