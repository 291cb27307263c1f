// Any datagram a controller (or anyone else) can send to UDP 8234, handled against a store in
// which the sender is a known classroom whose teacher has a period all day long, so that card
// datagrams reach every step: status, card number, teacher lookup, period test, commands (sent
// to 127.0.0.1:20108, where nothing listens).
#include <cstddef>
#include <cstdint>
#include <span>

#include "controllers/controller_datagram.h"
#include "controllers/controller_datagram_handler.h"
#include "core/clock.h"
#include "core/messages.h"
#include "data/database.h"
#include "data/store.h"
#include "fuzz/fuzz_store.h"

namespace {

constexpr const char* kSeed =
    "Insert into tblbj (Name, ZKIP, Status) Values ('一班', '127.0.0.1', 0);"
    "Insert into tblThMes (Numb, Name, NameNumb) Values ('1-2-3-4', 'T', 'T(1-2-3-4)');"
    "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
    "('一班', '星期三', '0', '0', '23', '59', 'T(1-2-3-4)');"
    "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
    "('一班', '星期三', '8', 'x', '', '99', 'T(1-2-3-4)');";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  static const Store store(fuzzing::FuzzStore(kSeed));
  fuzzing::QuietLog();
  static ManualClock clock(MakeLocalTime(2026, 12, 9, 10, 30, 0));  // a Wednesday
  static ControllerDatagramHandler handler(clock);
  static Database db = store.database();
  static bool opened = db.open().ok();
  (void)opened;
  // As the listener receives: at most the buffer's bytes, and whether the datagram was longer.
  size_t received = size < kControllerDatagramCapacity ? size : kControllerDatagramCapacity;
  handler.handle(db, std::span<const uint8_t>(data, received), size > received, "127.0.0.1");
  clock.advance(std::chrono::milliseconds(700));
  return 0;
}
