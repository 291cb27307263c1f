#include "terminals/known_address.h"

#include "data/database.h"

namespace brenlow {

bool IsKnownAddress(const Store& store, const std::string& address) {
  Database db = store.database();
  db.open();
  RecordSet rows = db.query(FormatStatement("select * from tblbj  where PCMacAddr='%s'", address));
  bool known = rows.isValid() && !rows.isEof();
  db.close();
  return known;
}

const std::string* FirstKnownSlot(const Store& store,
                                  const std::array<std::string, kAddressSlotCount>& slots) {
  for (const std::string& slot : slots) {
    if (IsKnownAddress(store, slot))
      return &slot;
  }
  return nullptr;
}

}  // namespace brenlow
