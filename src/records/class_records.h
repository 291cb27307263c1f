// The class records (tblbj) and what belongs to a class: its rules and statements, shared by the
// class dialogs and brenlow-admin. A class is made with its 35 blank periods, deleted with its
// course and period rows (its usage rows stay), and modified in ZKIP, PCMacAddr and Pass; the
// dialogs never change its name, the shell renames it with everything that names it.
//
// Each function runs its statements on the Database handed in, in the order given, each only
// when the one before succeeded (a failure has been shown through the message interface, as
// Database::execute does); there is no transaction. Any thread; a DatabaseError from reading
// the table reaches the caller.
#pragma once

#include <string>

#include "data/database.h"

namespace brenlow {

struct ClassRecord {
  std::string name;
  std::string zkip;       // the controller's address
  std::string pcMacAddr;  // the classroom PC's hardware address
  std::string pass;
};

// Why a new class cannot be added, as the add dialog says it ("请输入班级名!", "班级已存在，请重新
// 添加！", "请输入中控IP!", "请输入电脑MAC地址!", "请输入密码!", checked in that order), or
// nullptr when it can. nameTaken: a class of exactly that name exists.
const char* NewClassRefusal(const ClassRecord& record, bool nameTaken);

// A class row whose Name equals name exactly (no trimming, case-sensitive).
bool ClassExists(Database& db, const std::string& name);

// Inserts the class row, then seven period rows for each weekday, Monday first.
Status InsertClass(Database& db, const ClassRecord& record);

// Deletes the class row, then its course rows, then its period rows.
Status DeleteClass(Database& db, const std::string& name);

// Renames the class: its row, then its course and period rows and the usage rows that name
// it, so that the class keeps its timetable and its history.
Status RenameClass(Database& db, const std::string& oldName, const std::string& newName);

// Writes ZKIP, PCMacAddr and Pass of the class named record.name.
Status UpdateClass(Database& db, const ClassRecord& record);

}  // namespace brenlow
