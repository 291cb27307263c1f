// The teacher records (tblThMes) and the rows that name a teacher: rules and statements shared
// by the teacher dialogs, the teacher file import and brenlow-admin. A teacher is keyed by Numb;
// periods and usage rows name the teacher by NameNumb and teacher_Numb, which a rename keeps in
// step. Deleting a teacher removes the teacher row only.
//
// Functions run their statements on the Database handed in, each only when the one before
// succeeded (a failure has been shown through the message interface); no transaction. Any
// thread; a DatabaseError from reading the table reaches the caller.
#pragma once

#include <optional>
#include <string>

#include "data/database.h"

namespace brenlow {

// Name, "(", number, ")": how periods name a teacher.
std::string NameNumb(const std::string& name, const std::string& number);

// Why a new teacher cannot be added, as the add dialog says it ("请输工号!", "工号已存在，请重新
// 输入！", "请输入姓名!", in that order), or nullptr. numberTaken: that number exists exactly.
const char* NewTeacherRefusal(const std::string& number, const std::string& name, bool numberTaken);

// A teacher row whose Numb equals number exactly.
bool TeacherExists(Database& db, const std::string& number);
// The Name of the first teacher row with that number, nullopt when there is none.
std::optional<std::string> TeacherName(Database& db, const std::string& number);

Status InsertTeacher(Database& db, const std::string& number, const std::string& name);
Status DeleteTeacher(Database& db, const std::string& number);

// Renames the teacher: Name and NameNumb, teacher_Name of the usage rows, then every period
// whose ThName was the old NameNumb.
Status RenameTeacher(Database& db, const std::string& number, const std::string& oldName,
                     const std::string& newName);

}  // namespace brenlow
