#include "net/known_address.h"

#include "data/database.h"
#include "data/database_path.h"

namespace brenlow {

bool IsKnownAddress(const std::string& address) {
  Database db;
  db.setPath(DatabasePath());
  db.open();
  RecordSet rows = db.query(FormatStatement("select * from tblbj  where PCMacAddr='%s'", address));
  bool known = rows.isValid() && !rows.isEof();
  db.close();
  return known;
}

}  // namespace brenlow
