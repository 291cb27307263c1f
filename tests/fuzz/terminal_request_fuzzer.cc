// Any bytes a terminal can send to port 64124, as one receive of the terminal service, against
// a store of classes whose texts test every field's room. The reply must have the shape of its
// kind: a class name of at most 19 UTF-16 code units, whole 120-byte period records, whole
// 500-byte course records, whole 40-byte password records, nothing for other kinds. Through a
// reply cache kept across inputs (hostile keys, its bounds), the reply is the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_store.h"
#include "fuzz/terminal_store.h"
#include "terminals/reply_cache.h"
#include "terminals/terminal_request.h"
#include "terminals/terminal_service.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  static const Store store(fuzzing::FuzzStore(fuzzing::kTerminalStoreSeed));
  fuzzing::QuietLog();
  // As the service receives: at most one request's bytes.
  std::string_view received(reinterpret_cast<const char*>(data),
                            size < kTerminalRequestSize ? size : kTerminalRequestSize);
  std::string reply;
  AnswerTerminalRequest(store, received, reply);
  static ReplyCache* cache =
      new ReplyCache({.entries = 64, .bytes = 256 * 1024, .replyBytes = 64 * 1024});
  std::string cached;
  AnswerTerminalRequest(store, received, cached, cache);
  if (cached != reply)
    abort();
  const size_t replied = reply.size();
  if (replied == 0)
    return 0;
  std::optional<TerminalRequest> request = ParseTerminalRequest(received);
  if (!request)
    abort();  // a short request is answered with nothing
  switch (request->kind) {
    case 1:
      if (replied % 2 != 0 || replied > 38)
        abort();
      break;
    case 2:
      if (replied % 120 != 0)
        abort();
      break;
    case 3:
      if (replied % 500 != 0)
        abort();
      break;
    case 4:
      if (replied % 40 != 0)
        abort();
      break;
    default:
      abort();
  }
  return 0;
}
