#include "terminals/known_address.h"

#include "data/database.h"

namespace brenlow {

bool IsKnownAddress(const std::string& address) {
  Database db = Database::DefaultStore();
  db.open();
  RecordSet rows = db.query(FormatStatement("select * from tblbj  where PCMacAddr='%s'", address));
  bool known = rows.isValid() && !rows.isEof();
  db.close();
  return known;
}

const std::string* FirstKnownSlot(const std::array<std::string, kAddressSlotCount>& slots) {
  for (const std::string& slot : slots) {
    if (IsKnownAddress(slot))
      return &slot;
  }
  return nullptr;
}

}  // namespace brenlow
