#include "data/store_preparation.h"

#include "core/weekdays.h"
#include "data/database.h"

namespace brenlow {

void ResetClassStatus(const Store& store) {
  Database db = store.database();
  db.open();
  db.execute(FormatStatement("Update tblbj set Status=%d", 0));
  db.close();
}

void CreateDefaultPeriods(const Store& store) {
  Database db = store.database();
  db.open();
  try {
    RecordSet periods = db.query("select * from tblkcTime Order by ID");
    if (!periods.isValid() || !periods.isEof())
      return;
    RecordSet classes = db.query("select * from tblbj Order by ID");
    if (!classes.isValid())
      return;
    while (!classes.isEof()) {
      std::string name = classes.fieldText("Name");
      for (const char* weekday : kSchoolWeekdays) {
        for (int period = 0; period < kPeriodsPerDay; ++period) {
          if (!db.execute(FormatStatement(
                  "Insert into tblkcTime (BJName, StartH, StartM, EndH, EndM,AutoOn,AutoOff,Week,"
                  "ThName) Values ('%s', '%s', '%s', '%s', '%s',%d,%d,'%s','%s')",
                  name, " ", " ", " ", " ", 0, 0, weekday, " "))) {
            return;
          }
        }
      }
      classes.moveNext();
    }
  } catch (const DatabaseError&) {
    // A row that cannot be read ends the step; the periods inserted so far stay.
  }
  db.close();
}

}  // namespace brenlow
