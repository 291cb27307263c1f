// classes, class add/set/remove, teachers, teacher add/rename/remove: the class and teacher
// dialogs' rules and statements (records/), without the dialogs' questions. Texts the store
// would keep only in part (over 39 characters) are refused rather than cut.
#include <functional>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "data/database.h"
#include "data/database_path.h"
#include "records/class_records.h"
#include "records/teacher_records.h"
#include "records/text_characters.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

// The first text longer than the store keeps, as "NAME", or empty.
std::string OverLong(const std::vector<std::pair<const char*, const std::string*>>& texts,
                     int limit) {
  for (const auto& [what, text] : texts) {
    if (CharacterCount(*text) > static_cast<size_t>(limit))
      return what;
  }
  return std::string();
}

std::string LengthRefusal(const std::string& what, int limit) {
  return what + " 多于 " + std::to_string(limit) + " 个字符：输入的字符请不要多于 " +
         std::to_string(limit) + " 个。";
}

void WriteRows(OutputFormat format, const TextRow& header, const std::vector<TextRow>& rows,
               const std::vector<const char*>& keys) {
  if (format == OutputFormat::kTable) {
    WriteTextTable(std::cout, header, rows);
  } else if (format == OutputFormat::kCsv) {
    WriteCsv(std::cout, TextRow(keys.begin(), keys.end()), rows);
  } else {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TextRow& row : rows) {
      nlohmann::ordered_json object;
      for (size_t i = 0; i < keys.size(); ++i)
        object[keys[i]] = row[i];
      list.push_back(object);
    }
    std::cout << list.dump(2) << '\n';
  }
}

// Reads rows of a table into text rows; a store that cannot be read is a refusal.
bool ReadTable(const char* sql, const std::vector<const char*>& columns,
               std::vector<TextRow>* rows) {
  try {
    Database db = Database::DefaultStore();
    RecordSet records = db.query(sql);
    if (!records.isValid())
      return false;
    for (; !records.isEof(); records.moveNext()) {
      TextRow row;
      for (const char* column : columns)
        row.push_back(records.fieldText(column));
      rows->push_back(std::move(row));
    }
    return true;
  } catch (const DatabaseError&) {
    return false;
  }
}

std::string CannotRead() {
  return DatabasePath() + ": cannot be read as a Brenlow database";
}

// What the store reported about a failed statement; never empty, so a failure is never read as
// success.
std::string StoreFailure(Commands& commands) {
  std::string reported = commands.messages->take();
  return reported.empty() ? "the store refused the statement" : reported;
}

// Opens the store and runs change on it: change returns an empty text when it is done and the
// refusal otherwise. A store that cannot be opened or read refuses the command as well.
int ChangeStore(Commands& commands, const std::string& where,
                const std::function<std::string(Database&)>& change) {
  try {
    Database db = Database::DefaultStore();
    if (!db.open())
      return Refuse(where, StoreFailure(commands));
    std::string refusal = change(db);
    if (!refusal.empty())
      return Refuse(where, refusal);
  } catch (const DatabaseError&) {
    return Refuse(where, CannotRead());
  }
  return kDone;
}

struct ClassArguments {
  ClassRecord record;
  std::string address, mac, password;  // class set: the options given
  OutputFormat format = OutputFormat::kTable;
};

int ListClasses(const ClassArguments& arguments) {
  std::vector<TextRow> rows;
  if (!ReadTable("select * from tblbj Order by ID", {"Name", "ZKIP", "PCMacAddr", "Pass"}, &rows))
    return Refuse("classes", CannotRead());
  WriteRows(arguments.format, {"NAME", "ZKIP", "PCMAC", "PASSWORD"}, rows,
            {"name", "address", "mac", "password"});
  return kDone;
}

int AddClass(Commands& commands, const ClassRecord& record) {
  const std::string where = "class add " + record.name;
  std::string overLong = OverLong({{"NAME", &record.name},
                                   {"ADDRESS", &record.zkip},
                                   {"MAC", &record.pcMacAddr},
                                   {"PASSWORD", &record.pass}},
                                  kStoredTextCharacters);
  if (!overLong.empty())
    return Refuse(where, LengthRefusal(overLong, kStoredTextCharacters));
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (const char* refusal = NewClassRefusal(record, ClassExists(db, record.name)))
      return refusal;
    return InsertClass(db, record) ? std::string() : StoreFailure(commands);
  });
}

int SetClass(Commands& commands, const CLI::App& command, const ClassArguments& arguments) {
  const std::string& name = arguments.record.name;
  const std::string where = "class set " + name;
  const bool address = command.count("--address") > 0;
  const bool mac = command.count("--mac") > 0;
  const bool password = command.count("--password") > 0;
  if (!address && !mac && !password) {
    std::cerr << "brenlow-admin: class set: nothing to change; give --address, --mac or "
                 "--password\n";
    return kUsageError;
  }
  // The class's name is its key and is not changed, so only the new texts are held to the
  // modify dialog's limit.
  std::string overLong = OverLong({{"--address", &arguments.address},
                                   {"--mac", &arguments.mac},
                                   {"--password", &arguments.password}},
                                  kModifyTextLimit);
  if (!overLong.empty())
    return Refuse(where, LengthRefusal(overLong, kModifyTextLimit));
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    RecordSet rows =
        db.query(FormatStatement("select * from tblbj where Name='%s' Order by ID", name));
    if (!rows.isValid())
      return CannotRead();
    if (rows.isEof())
      return "没有这个班级";
    ClassRecord record{name, address ? arguments.address : rows.fieldText("ZKIP"),
                       mac ? arguments.mac : rows.fieldText("PCMacAddr"),
                       password ? arguments.password : rows.fieldText("Pass")};
    return UpdateClass(db, record) ? std::string() : StoreFailure(commands);
  });
}

int RemoveClass(Commands& commands, const std::string& name) {
  const std::string where = "class remove " + name;
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (!ClassExists(db, name))
      return "没有这个班级";
    return DeleteClass(db, name) ? std::string() : StoreFailure(commands);
  });
}

struct TeacherArguments {
  std::string number, name;
  OutputFormat format = OutputFormat::kTable;
};

int ListTeachers(const TeacherArguments& arguments) {
  std::vector<TextRow> rows;
  if (!ReadTable("select * from tblThMes Order by ID", {"Numb", "Name", "UseTime"}, &rows))
    return Refuse("teachers", CannotRead());
  WriteRows(arguments.format, {"工号", "姓名", "使用时长"}, rows, {"number", "name", "use_time"});
  return kDone;
}

int AddTeacher(Commands& commands, const TeacherArguments& arguments) {
  const std::string where = "teacher add " + arguments.number;
  std::string overLong =
      OverLong({{"NUMBER", &arguments.number}, {"NAME", &arguments.name}}, kStoredTextCharacters);
  if (!overLong.empty())
    return Refuse(where, LengthRefusal(overLong, kStoredTextCharacters));
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (const char* refusal = NewTeacherRefusal(arguments.number, arguments.name,
                                                TeacherExists(db, arguments.number)))
      return refusal;
    return InsertTeacher(db, arguments.number, arguments.name) ? std::string()
                                                               : StoreFailure(commands);
  });
}

int RenameTeacherCommand(Commands& commands, const TeacherArguments& arguments) {
  const std::string where = "teacher rename " + arguments.number;
  if (CharacterCount(arguments.name) > static_cast<size_t>(kModifyTextLimit))
    return Refuse(where, LengthRefusal("NAME", kModifyTextLimit));
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    std::optional<std::string> oldName = TeacherName(db, arguments.number);
    if (!oldName)
      return "没有这个工号的老师";
    return RenameTeacher(db, arguments.number, *oldName, arguments.name) ? std::string()
                                                                         : StoreFailure(commands);
  });
}

int RemoveTeacher(Commands& commands, const std::string& number) {
  const std::string where = "teacher remove " + number;
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (!TeacherExists(db, number))
      return "没有这个工号的老师";
    return DeleteTeacher(db, number) ? std::string() : StoreFailure(commands);
  });
}

}  // namespace

void AddClassCommands(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<ClassArguments>();
  CLI::App* list = app.add_subcommand("classes", "List the classes (ID order)");
  AddFormatOption(list, &arguments->format);
  commands.add(list, [arguments] { return ListClasses(*arguments); });

  CLI::App* group = app.add_subcommand("class", "Add, change or remove a class");
  group->require_subcommand(1);
  CLI::App* add = group->add_subcommand(
      "add", "Add a class with its 35 blank periods (refused when the name exists)");
  add->add_option("NAME", arguments->record.name, "class name")->required();
  add->add_option("ADDRESS", arguments->record.zkip, "the room controller's IPv4 address")
      ->required();
  add->add_option("MAC", arguments->record.pcMacAddr, "the classroom PC's hardware address")
      ->required();
  add->add_option("PASSWORD", arguments->record.pass, "the classroom's password")->required();
  commands.add(add, [&commands, arguments] { return AddClass(commands, arguments->record); });

  CLI::App* set = group->add_subcommand(
      "set", "Change a class's controller address, PC hardware address or password");
  set->add_option("NAME", arguments->record.name, "class name")->required();
  set->add_option("--address", arguments->address, "the room controller's IPv4 address");
  set->add_option("--mac", arguments->mac, "the classroom PC's hardware address");
  set->add_option("--password", arguments->password, "the classroom's password");
  commands.add(set, [&commands, set, arguments] { return SetClass(commands, *set, *arguments); });

  CLI::App* remove = group->add_subcommand(
      "remove", "Remove a class with its periods and course rows, at once (its usage rows stay)");
  remove->add_option("NAME", arguments->record.name, "class name")->required();
  commands.add(remove,
               [&commands, arguments] { return RemoveClass(commands, arguments->record.name); });
}

void AddTeacherCommands(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<TeacherArguments>();
  CLI::App* list = app.add_subcommand("teachers", "List the teachers with their use time");
  AddFormatOption(list, &arguments->format);
  commands.add(list, [arguments] { return ListTeachers(*arguments); });

  CLI::App* group = app.add_subcommand("teacher", "Add, rename or remove a teacher");
  group->require_subcommand(1);
  CLI::App* add = group->add_subcommand("add", "Add a teacher (refused when the number exists)");
  add->add_option("NUMBER", arguments->number, "the teacher's number (the card's number)")
      ->required();
  add->add_option("NAME", arguments->name, "the teacher's name")->required();
  commands.add(add, [&commands, arguments] { return AddTeacher(commands, *arguments); });

  CLI::App* rename = group->add_subcommand(
      "rename", "Rename a teacher, with the periods and usage rows that name them");
  rename->add_option("NUMBER", arguments->number, "the teacher's number")->required();
  rename->add_option("NAME", arguments->name, "the new name (at most 20 characters)")->required();
  commands.add(rename,
               [&commands, arguments] { return RenameTeacherCommand(commands, *arguments); });

  CLI::App* remove =
      group->add_subcommand("remove", "Remove a teacher at once (periods keep the name)");
  remove->add_option("NUMBER", arguments->number, "the teacher's number")->required();
  commands.add(remove,
               [&commands, arguments] { return RemoveTeacher(commands, arguments->number); });
}

}  // namespace brenlow::admin
