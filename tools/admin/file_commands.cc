// import-timetable, import-teachers, export-teachers: the import dialogs' and the export's
// functions (records/), reporting what the dialogs report, on stdout and stderr.
#include <iostream>
#include <memory>

#include "commands.h"
#include "core/shown_text.h"
#include "data/database.h"
#include "records/teacher_import.h"
#include "records/timetable_import.h"

namespace brenlow::admin {
namespace {

struct FileArguments {
  std::string timeTable, courseTable, teacherFile;
  bool dryRun = false;
};

void WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    std::cout << ShownText(line) << '\n';
}

// Why an import failed, naming its file, or empty when it succeeded.
std::string FailureOf(Commands& commands, const std::string& path,
                      const TimetableImportResult& result) {
  if (result.ok())
    return std::string();
  std::string what = result.status == TimetableImportResult::Status::kFileError
                         ? "文件错误! " + result.detail
                         : result.detail;
  const std::string store = commands.messages->take();
  return path + ": " + (store.empty() ? what : what + " (" + store + ")");
}

int ImportTimetable(Commands& commands, const FileArguments& arguments) {
  // The two files are one import: both are written, or neither.
  TimetablePairResult result = ImportTimetableFiles(commands.store, arguments.timeTable,
                                                    arguments.courseTable, arguments.dryRun);
  WriteLines(TimetableSummary(result, arguments.dryRun));
  std::string times = FailureOf(commands, arguments.timeTable, result.times);
  std::string courses = FailureOf(commands, arguments.courseTable, result.courses);
  if (!times.empty() || !courses.empty() || !result.storeFailure.empty()) {
    std::string why = times + (times.empty() || courses.empty() ? "" : "; ") + courses;
    if (why.empty())
      why = commands.store.path() + ": " + result.storeFailure + " " + commands.messages->take();
    return Refuse("import-timetable", "导入失败! " + why);
  }
  if (!arguments.dryRun)
    std::cout << "导入成功!\n";
  return kDone;
}

int ImportTeachers(Commands& commands, const FileArguments& arguments) {
  TeacherImportResult result =
      ImportTeacherFile(commands.store, arguments.teacherFile, arguments.dryRun);
  WriteLines(TeacherImportSummary(result, arguments.dryRun));
  if (!result.ok) {
    const std::string store = commands.messages->take();
    return Refuse("import-teachers " + arguments.teacherFile,
                  "导入失败！ " + result.detail + (store.empty() ? "" : " (" + store + ")"));
  }
  if (!arguments.dryRun)
    std::cout << "导入成功！\n";
  return kDone;
}

int ExportTeachers(const Store& store, const FileArguments& arguments) {
  const std::string where = "export-teachers " + arguments.teacherFile;
  std::vector<std::pair<std::string, std::string>> rows;
  try {
    Database db = store.database();
    RecordSet teachers = db.query("select * from tblThMes Order by ID");
    if (!teachers.isValid())
      return Refuse(where, store.path() + ": cannot be read as a Brenlow database");
    for (; !teachers.isEof(); teachers.moveNext())
      rows.emplace_back(teachers.fieldText("Numb"), teachers.fieldText("Name"));
  } catch (const DatabaseError&) {
    return Refuse(where, store.path() + ": cannot be read as a Brenlow database");
  }
  if (arguments.teacherFile == "-") {
    // Standard output: the file's bytes and nothing else, for a pipe.
    std::string bytes;
    GbkWriteResult encoded = TeacherFileBytes(rows, &bytes);
    if (!encoded.ok)
      return Refuse(where, encoded.errorText);
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    return std::cout ? kDone : Refuse(where, "standard output could not be written");
  }
  GbkWriteResult written = ExportTeacherFile(store, arguments.teacherFile, rows);
  if (!written.ok)
    return Refuse(where, written.errorText);
  std::cout << "导出成功\n";
  if (written.gb18030Characters > 0)
    std::cout << Gb18030Note(written.gb18030Characters) << '\n';
  return kDone;
}

}  // namespace

void AddFileCommands(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<FileArguments>();
  CLI::App* timetable = app.add_subcommand(
      "import-timetable",
      "Import the period times (TIMES.csv, header Time,StartH,StartM,EndH,EndM) of every class "
      "and the course names (COURSES.csv, header BJName,Monday,Tuesday,Wednesday,Thursday,"
      "Friday); code page 936, or UTF-8 (with or without a byte-order mark). The two files are "
      "one import: both are written or neither. A faulty file (a time that is not a whole number "
      "in range among them) is refused whole; a course line of an unknown class is skipped. "
      "Prints what was written and each line skipped");
  timetable->add_option("TIMES", arguments->timeTable, "the time table file")->required();
  timetable->add_option("COURSES", arguments->courseTable, "the course table file")->required();
  timetable->add_flag("--dry-run", arguments->dryRun,
                      "check both files and say what would be written; write nothing");
  commands.add(timetable, [&commands, arguments] { return ImportTimetable(commands, *arguments); });

  CLI::App* importTeachers = app.add_subcommand(
      "import-teachers",
      "Import teachers from a file with the header Numb,Name (code page 936, or UTF-8 with or "
      "without a byte-order mark), in one transaction; lines whose number is already there, "
      "empty or too long are skipped and reported");
  importTeachers->add_option("FILE", arguments->teacherFile, "the teacher file")->required();
  importTeachers->add_flag("--dry-run", arguments->dryRun,
                           "check the file and say what would be written; write nothing");
  commands.add(importTeachers,
               [&commands, arguments] { return ImportTeachers(commands, *arguments); });

  CLI::App* exportTeachers = app.add_subcommand(
      "export-teachers",
      "Write every teacher's number and name to FILE (code page 936); - writes to standard "
      "output");
  exportTeachers->add_option("FILE", arguments->teacherFile, "the file to write (replaced), or -")
      ->required();
  commands.add(exportTeachers,
               [&commands, arguments] { return ExportTeachers(commands.store, *arguments); });
}

}  // namespace brenlow::admin
