// classes, class add/set/remove, teachers, teacher add/rename/remove: the class and teacher
// dialogs' rules and statements (records/), without the dialogs' questions. Texts the store
// would keep only in part (over 39 characters) are refused rather than cut.
#include <functional>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/shown_text.h"
#include "core/whole_number.h"
#include "data/database.h"
#include "records/class_records.h"
#include "records/record_rules.h"
#include "records/teacher_records.h"
#include "records/text_characters.h"
#include "store_change.h"
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

// A column of a listing: its table header, its CSV and JSON key, and whether JSON gives it as a
// number (null when the stored text is empty or not a whole number).
struct Column {
  const char* header;
  const char* key;
  bool number = false;
};

void WriteRows(OutputFormat format, const std::vector<Column>& columns,
               const std::vector<TextRow>& rows) {
  TextRow header;
  TextRow keys;
  for (const Column& column : columns) {
    header.push_back(column.header);
    keys.push_back(column.key);
  }
  if (format == OutputFormat::kTable) {
    WriteTextTable(std::cout, header, rows);
  } else if (format == OutputFormat::kCsv) {
    WriteCsv(std::cout, keys, rows);
  } else {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TextRow& row : rows) {
      nlohmann::ordered_json object;
      for (size_t i = 0; i < columns.size(); ++i) {
        std::optional<int> number = columns[i].number ? WholeNumber(row[i]) : std::nullopt;
        if (number)
          object[columns[i].key] = *number;
        else if (columns[i].number)
          object[columns[i].key] = nullptr;
        else
          object[columns[i].key] = row[i];
      }
      list.push_back(object);
    }
    WriteJson(std::cout, list);
  }
}

// Reads rows of a table into text rows; a store that cannot be read is a refusal.
bool ReadTable(const Store& store, const char* sql, const std::vector<const char*>& columns,
               std::vector<TextRow>* rows) {
  try {
    Database db = store.database();
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

struct ClassArguments {
  ClassRecord record;
  std::string address, mac, password, pcAddress;  // class set: the options given
  std::string newName;                            // class rename
  OutputFormat format = OutputFormat::kTable;
};

// The class other than exceptClass whose controller address is address, or empty: the listener
// tells rooms apart by that address alone.
std::string ClassWithAddress(Database& db, const std::string& address,
                             const std::string& exceptClass) {
  RecordSet rows =
      db.query(FormatStatement("select * from tblbj where ZKIP='%s' Order by ID", address));
  for (; rows.isValid() && !rows.isEof(); rows.moveNext()) {
    if (rows.fieldText("Name") != exceptClass)
      return rows.fieldText("Name");
  }
  return std::string();
}

std::string AddressRefusal(const char* what, const std::string& address) {
  return std::string(what) + " 不是点分的 IPv4 地址（四段 0-255，无空格）：\"" + address + "\"";
}

std::string MacRefusal(const std::string& mac) {
  return "MAC 不是六对十六进制数字以 - 相连（如 00-1A-2B-3C-4D-5E）：\"" + mac + "\"";
}

int ListClasses(const Store& store, const ClassArguments& arguments) {
  std::vector<TextRow> rows;
  if (!ReadTable(store, "select * from tblbj Order by ID", {"Name", "ZKIP", "PCMacAddr", "Pass"},
                 &rows))
    return Refuse("classes", CannotRead(store));
  WriteRows(arguments.format,
            {{"班级", "class"}, {"中控IP", "address"}, {"电脑MAC", "mac"}, {"密码", "password"}},
            rows);
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
    if (std::string problem = ClassNameProblem(record.name); !problem.empty())
      return problem;
    if (!IsDottedIpv4(record.zkip))
      return AddressRefusal("ADDRESS", record.zkip);
    if (!IsHardwareAddress(record.pcMacAddr))
      return MacRefusal(record.pcMacAddr);
    if (std::string other = ClassWithAddress(db, record.zkip, record.name); !other.empty())
      return "中控IP " + record.zkip + " 已是班级 " + other + " 的";
    return InTransaction(commands, db, [&] {
      return InsertClass(db, record) ? std::string() : StoreFailure(commands);
    });
  });
}

int SetClass(Commands& commands, const CLI::App& command, const ClassArguments& arguments) {
  const std::string& name = arguments.record.name;
  const std::string where = "class set " + name;
  const bool address = command.count("--address") > 0;
  const bool mac = command.count("--mac") > 0;
  const bool password = command.count("--password") > 0;
  const bool pcAddress = command.count("--pc-address") > 0;
  if (!address && !mac && !password && !pcAddress) {
    std::cerr << "brenlow-admin: class set: nothing to change; give --address, --mac, "
                 "--password or --pc-address\n";
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
  if (address && !IsDottedIpv4(arguments.address))
    return Refuse(where, AddressRefusal("--address", arguments.address));
  if (pcAddress && !arguments.pcAddress.empty() && !IsDottedIpv4(arguments.pcAddress))
    return Refuse(where, AddressRefusal("--pc-address", arguments.pcAddress));
  if (mac && !arguments.mac.empty() && !IsHardwareAddress(arguments.mac))
    return Refuse(where, MacRefusal(arguments.mac));
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    RecordSet rows =
        db.query(FormatStatement("select * from tblbj where Name='%s' Order by ID", name));
    if (!rows.isValid())
      return CannotRead(commands.store);
    if (rows.isEof())
      return "没有这个班级";
    ClassRecord record{name, address ? arguments.address : rows.fieldText("ZKIP"),
                       mac ? arguments.mac : rows.fieldText("PCMacAddr"),
                       password ? arguments.password : rows.fieldText("Pass")};
    if (address) {
      if (std::string other = ClassWithAddress(db, arguments.address, name); !other.empty())
        return "中控IP " + arguments.address + " 已是班级 " + other + " 的";
    }
    return InTransaction(commands, db, [&] {
      if ((address || mac || password) && !UpdateClass(db, record))
        return StoreFailure(commands);
      if (pcAddress && !db.execute(FormatStatement("Update tblbj set PCIP='%s' where Name='%s'",
                                                   arguments.pcAddress, name)))
        return StoreFailure(commands);
      return std::string();
    });
  });
}

int RenameClassCommand(Commands& commands, const std::string& oldName, const std::string& newName) {
  const std::string where = "class rename " + oldName;
  if (std::string problem = ClassNameProblem(newName); !problem.empty())
    return Refuse(where, problem);
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (!ClassExists(db, oldName))
      return "没有这个班级";
    if (ClassExists(db, newName))
      return "班级已存在：" + newName;
    return InTransaction(commands, db, [&] {
      return RenameClass(db, oldName, newName) ? std::string() : StoreFailure(commands);
    });
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

int ListTeachers(const Store& store, const TeacherArguments& arguments) {
  std::vector<TextRow> rows;
  if (!ReadTable(store, "select * from tblThMes Order by ID", {"Numb", "Name", "UseTime"}, &rows))
    return Refuse("teachers", CannotRead(store));
  WriteRows(arguments.format,
            {{"工号", "number"}, {"姓名", "name"}, {"使用时长", "use_time", true}}, rows);
  return kDone;
}

int AddTeacher(Commands& commands, const TeacherArguments& arguments) {
  const std::string where = "teacher add " + arguments.number;
  std::string overLong =
      OverLong({{"NUMBER", &arguments.number}, {"NAME", &arguments.name}}, kStoredTextCharacters);
  if (!overLong.empty())
    return Refuse(where, LengthRefusal(overLong, kStoredTextCharacters));
  const int code = ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (const char* refusal = NewTeacherRefusal(arguments.number, arguments.name,
                                                TeacherExists(db, arguments.number)))
      return refusal;
    return InsertTeacher(db, arguments.number, arguments.name) ? std::string()
                                                               : StoreFailure(commands);
  });
  if (code == kDone && !IsCardNumber(arguments.number)) {
    std::cerr << "brenlow-admin: teacher add: warning: " << ShownText(arguments.number)
              << " cannot be a card number (a controller reports four numbers 0-255 joined by "
                 "-, for example 65-10-0-1); this teacher's card will not be recognised\n";
  }
  return code;
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
  commands.add(list, [&commands, arguments] { return ListClasses(commands.store, *arguments); });

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
  set->add_option("--pc-address", arguments->pcAddress,
                  "the classroom PC's IPv4 address, where the scheduler sends its shut-down "
                  "(empty: none)");
  commands.add(set, [&commands, set, arguments] { return SetClass(commands, *set, *arguments); });

  CLI::App* rename = group->add_subcommand(
      "rename", "Rename a class with its periods, course rows and usage rows, in one transaction");
  rename->add_option("OLD", arguments->record.name, "class name")->required();
  rename->add_option("NEW", arguments->newName, "the new name (at most 19 characters)")->required();
  commands.add(rename, [&commands, arguments] {
    return RenameClassCommand(commands, arguments->record.name, arguments->newName);
  });

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
  commands.add(list, [&commands, arguments] { return ListTeachers(commands.store, *arguments); });

  CLI::App* group = app.add_subcommand("teacher", "Add, rename or remove a teacher");
  group->require_subcommand(1);
  CLI::App* add = group->add_subcommand("add", "Add a teacher (refused when the number exists)");
  add->add_option("NUMBER", arguments->number,
                  "the teacher's number, which is their card's number as a controller reports "
                  "it: four numbers 0-255 joined by - (65-10-0-1); another number is stored with "
                  "a warning, but no card matches it")
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
