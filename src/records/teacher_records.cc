#include "records/teacher_records.h"

namespace brenlow {

std::string NameNumb(const std::string& name, const std::string& number) {
  return name + "(" + number + ")";
}

const char* NewTeacherRefusal(const std::string& number, const std::string& name,
                              bool numberTaken) {
  if (number.empty())
    return "请输工号!";
  if (numberTaken)
    return "工号已存在，请重新输入！";
  if (name.empty())
    return "请输入姓名!";
  return nullptr;
}

bool TeacherExists(Database& db, const std::string& number) {
  return TeacherName(db, number).has_value();
}

std::optional<std::string> TeacherName(Database& db, const std::string& number) {
  RecordSet rows = db.query("select * from tblThMes  Order by ID");
  while (!rows.isEof()) {
    if (rows.fieldText("Numb") == number)
      return rows.fieldText("Name");
    rows.moveNext();
  }
  return std::nullopt;
}

Status InsertTeacher(Database& db, const std::string& number, const std::string& name) {
  return db.execute(
      FormatStatement("Insert into tblThMes (Numb,Name,NameNumb) Values ('%s','%s','%s')", number,
                      name, NameNumb(name, number)));
}

Status DeleteTeacher(Database& db, const std::string& number) {
  return db.execute(FormatStatement("Delete from tblThMes where Numb = '%s'", number));
}

Status RenameTeacher(Database& db, const std::string& number, const std::string& oldName,
                     const std::string& newName) {
  return db.executeAll(
      {FormatStatement("Update tblThMes set   Name='%s',NameNumb='%s' where Numb='%s'", newName,
                       NameNumb(newName, number), number),
       FormatStatement("Update tbl_teacher_usetime set  teacher_Name='%s' where teacher_Numb='%s'",
                       newName, number),
       FormatStatement("Update tblkcTime set  ThName='%s' where ThName='%s'",
                       NameNumb(newName, number), NameNumb(oldName, number))});
}

}  // namespace brenlow
