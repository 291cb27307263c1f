#include "data/store_tables.h"

namespace brenlow {

const std::vector<StoreTable>& StoreTables() {
  // Never destroyed: a worker may still open the store while the process exits.
  static const auto* tables = new std::vector<StoreTable>{
      {"tblbj", {"ID", "Name", "ZKIP", "PCMacAddr", "Pass", "Status", "PCIP"}},
      {"tblkcTime",
       {"ID", "BJName", "Week", "StartH", "StartM", "EndH", "EndM", "AutoOn", "AutoOff", "ThName"}},
      {"tblkc", {"ID", "BJName", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"}},
      {"tblThMes", {"ID", "Numb", "Name", "NameNumb", "UseTime"}},
      {"tbl_teacher_usetime",
       {"ID", "teacher_Numb", "teacher_Name", "class_Name", "date_day", "use_time"}},
  };
  return *tables;
}

}  // namespace brenlow
