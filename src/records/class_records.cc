#include "records/class_records.h"

#include "core/weekdays.h"

namespace brenlow {

const char* NewClassRefusal(const ClassRecord& record, bool nameTaken) {
  if (record.name.empty())
    return "请输入班级名!";
  if (nameTaken)
    return "班级已存在，请重新添加！";
  if (record.zkip.empty())
    return "请输入中控IP!";
  if (record.pcMacAddr.empty())
    return "请输入电脑MAC地址!";
  if (record.pass.empty())
    return "请输入密码!";
  return nullptr;
}

bool ClassExists(Database& db, const std::string& name) {
  RecordSet rows = db.query("select * from tblbj  Order by ID");
  while (!rows.isEof()) {
    if (rows.fieldText("Name") == name)
      return true;
    rows.moveNext();
  }
  return false;
}

Status InsertClass(Database& db, const ClassRecord& record) {
  if (Status status = db.execute(FormatStatement(
          "Insert into tblbj (Name,ZKIP,PCMacAddr,Pass) Values('%s','%s','%s','%s')", record.name,
          record.zkip, record.pcMacAddr, record.pass));
      !status.ok())
    return status;
  for (const char* weekday : kSchoolWeekdays) {
    for (int period = 0; period < kPeriodsPerDay; ++period) {
      if (Status status = db.execute(FormatStatement(
              "Insert into tblkcTime (BJName,Week) Values('%s','%s')", record.name, weekday));
          !status.ok())
        return status;
    }
  }
  return Status();
}

Status DeleteClass(Database& db, const std::string& name) {
  return db.executeAll({FormatStatement("Delete from tblbj where Name = '%s'", name),
                        FormatStatement("Delete from tblkc where BJName = '%s'", name),
                        FormatStatement("Delete from tblkcTime where BJName = '%s'", name)});
}

Status RenameClass(Database& db, const std::string& oldName, const std::string& newName) {
  return db.executeAll(
      {FormatStatement("Update tblbj set Name='%s' where Name='%s'", newName, oldName),
       FormatStatement("Update tblkc set BJName='%s' where BJName='%s'", newName, oldName),
       FormatStatement("Update tblkcTime set BJName='%s' where BJName='%s'", newName, oldName),
       FormatStatement("Update tbl_teacher_usetime set class_Name='%s' where class_Name='%s'",
                       newName, oldName)});
}

Status UpdateClass(Database& db, const ClassRecord& record) {
  return db.execute(
      FormatStatement("Update tblbj set  ZKIP='%s', PCMacAddr='%s',Pass='%s' where Name='%s'",
                      record.zkip, record.pcMacAddr, record.pass, record.name));
}

}  // namespace brenlow
