// timetable, period set, course set: a class's timetable shown and edited from a shell, with the
// editor's statements (records/class_timetable.h). period set is what "应用" does, for one period
// or many at once, in one transaction: after an import no period has a teacher or a flag, and
// this is how a school turns on automatic power for every period.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "records/class_records.h"
#include "records/class_timetable.h"
#include "records/record_rules.h"
#include "records/teacher_records.h"
#include "records/text_characters.h"
#include "store_change.h"
#include "text_table.h"
#include "weekday_words.h"

namespace brenlow::admin {
namespace {

std::string TimeText(const std::string& hour, const std::string& minute) {
  std::optional<int> time = PeriodTime(hour, minute);
  if (!time)
    return std::string();
  char text[24];
  std::snprintf(text, sizeof text, "%02d:%02d", *time / 60, *time % 60);
  return text;
}

nlohmann::ordered_json TimeOrNull(const std::string& hour, const std::string& minute) {
  std::string text = TimeText(hour, minute);
  return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

// A period's teacher: its stored NameNumb, or nothing when it holds only blanks.
std::string Teacher(const PeriodRow& period) {
  return period.thName.find_first_not_of(' ') == std::string::npos ? std::string() : period.thName;
}

struct TimetableArguments {
  std::string className;
  std::string day;  // empty: every school weekday
  OutputFormat format = OutputFormat::kTable;
};

int ShowTimetable(Commands& commands, const TimetableArguments& arguments) {
  const std::string where = "timetable " + arguments.className;
  std::optional<int> onlyDay;
  if (!arguments.day.empty()) {
    onlyDay = SchoolWeekdayIndex(arguments.day);
    if (!onlyDay)
      return Refuse(where, WeekdayRefusal(arguments.day));
  }
  std::optional<ClassTimetable> timetable;
  int code = ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (!ClassExists(db, arguments.className))
      return "没有这个班级";
    timetable = ReadClassTimetable(db, arguments.className);
    return timetable ? std::string() : CannotRead(commands.store);
  });
  if (code != kDone)
    return code;
  // A course cell of blanks (as the import makes them) is no course.
  auto course = [&](size_t day, size_t period) {
    if (period >= timetable->courses.size())
      return std::string();
    const std::string& name = timetable->courses[period][day];
    return name.find_first_not_of(' ') == std::string::npos ? std::string() : name;
  };
  if (arguments.format == OutputFormat::kJson) {
    nlohmann::ordered_json object;
    object["class"] = arguments.className;
    object["courses"] = nlohmann::ordered_json::array();
    for (size_t period = 0; period < kPeriodsPerDay; ++period) {
      nlohmann::ordered_json row = nlohmann::ordered_json::array();
      for (size_t day = 0; day < kSchoolWeekdays.size(); ++day)
        row.push_back(course(day, period));
      object["courses"].push_back(row);
    }
    object["periods"] = nlohmann::ordered_json::object();
    for (size_t day = 0; day < kSchoolWeekdays.size(); ++day) {
      if (onlyDay && *onlyDay != static_cast<int>(day))
        continue;
      nlohmann::ordered_json periods = nlohmann::ordered_json::array();
      for (size_t i = 0; i < timetable->periods[day].size(); ++i) {
        const PeriodRow& period = timetable->periods[day][i];
        const std::string teacher = Teacher(period);
        periods.push_back({{"period", i + 1},
                           {"start", TimeOrNull(period.startH, period.startM)},
                           {"end", TimeOrNull(period.endH, period.endM)},
                           {"teacher", teacher.empty() ? nlohmann::ordered_json(nullptr)
                                                       : nlohmann::ordered_json(teacher)},
                           {"auto_on", period.autoOn},
                           {"auto_off", period.autoOff}});
      }
      object["periods"][kSchoolWeekdays[day]] = periods;
    }
    WriteJson(std::cout, object);
    return kDone;
  }
  const bool table = arguments.format == OutputFormat::kTable;
  std::vector<TextRow> rows;
  for (size_t day = 0; day < kSchoolWeekdays.size(); ++day) {
    if (onlyDay && *onlyDay != static_cast<int>(day))
      continue;
    for (size_t i = 0; i < timetable->periods[day].size(); ++i) {
      const PeriodRow& period = timetable->periods[day][i];
      auto flag = [table](int value) {
        return table ? (value == 1 ? "是" : "") : std::to_string(value);
      };
      rows.push_back({table && i > 0 ? std::string() : std::string(kSchoolWeekdays[day]),
                      std::to_string(i + 1), TimeText(period.startH, period.startM),
                      TimeText(period.endH, period.endM), course(day, i), Teacher(period),
                      flag(period.autoOn), flag(period.autoOff)});
    }
  }
  if (table) {
    WriteTextTable(std::cout,
                   {"星期", "节", "开始", "结束", "课程", "老师", "自动开机", "自动关机"}, rows);
  } else {
    WriteCsv(std::cout,
             {"day", "period", "start", "end", "course", "teacher", "auto_on", "auto_off"}, rows);
  }
  return kDone;
}

// Which periods a period set or course set names: a class or every class, a weekday or every
// weekday, a period number or every period. The words stand in that order; each --all-* flag
// takes the place of its word.
struct PeriodChoice {
  bool allClasses = false, allDays = false, allPeriods = false;
  std::vector<std::string> words;
};

struct PeriodSetArguments {
  PeriodChoice choice;
  std::string start, end, teacher;
  bool noTeacher = false;
  int autoOn = -1, autoOff = -1;  // -1: left as it is
};

// "8:05" as hour and minute texts the way the editor writes them ("8", "5").
bool ReadTime(const std::string& text, std::string* hour, std::string* minute) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() - colon - 1 != 2)
    return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != colon && (text[i] < '0' || text[i] > '9'))
      return false;
  }
  const int h = std::stoi(text.substr(0, colon));
  const int m = std::stoi(text.substr(colon + 1));
  if (h > 23 || m > 59)
    return false;
  *hour = std::to_string(h);
  *minute = std::to_string(m);
  return true;
}

// The chosen class names, weekdays and period numbers (0-based), or a refusal.
struct Chosen {
  std::vector<std::string> classes;
  std::vector<int> days;
  std::vector<int> periods;
  std::string refusal;
};

Chosen Choose(const Store& store, Database& db, const PeriodChoice& choice) {
  Chosen chosen;
  const size_t wanted =
      (choice.allClasses ? 0 : 1) + (choice.allDays ? 0 : 1) + (choice.allPeriods ? 0 : 1);
  if (choice.words.size() != wanted) {
    chosen.refusal =
        "expected CLASS (or --all-classes), WEEKDAY (or --all-days) and N (or "
        "--all-periods)";
    return chosen;
  }
  size_t word = 0;
  if (choice.allClasses) {
    RecordSet classes = db.query("select * from tblbj  Order by ID");
    if (!classes.isValid()) {
      chosen.refusal = CannotRead(store);
      return chosen;
    }
    for (; !classes.isEof(); classes.moveNext())
      chosen.classes.push_back(classes.fieldText("Name"));
  } else {
    const std::string& name = choice.words[word++];
    if (!ClassExists(db, name)) {
      chosen.refusal = "没有这个班级：" + name;
      return chosen;
    }
    chosen.classes.push_back(name);
  }
  if (choice.allDays) {
    for (int day = 0; day < static_cast<int>(kSchoolWeekdays.size()); ++day)
      chosen.days.push_back(day);
  } else {
    std::optional<int> day = SchoolWeekdayIndex(choice.words[word]);
    if (!day) {
      chosen.refusal = WeekdayRefusal(choice.words[word]);
      return chosen;
    }
    chosen.days.push_back(*day);
    ++word;
  }
  if (choice.allPeriods) {
    for (int period = 0; period < kPeriodsPerDay; ++period)
      chosen.periods.push_back(period);
  } else {
    const std::string& text = choice.words[word];
    if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kPeriodsPerDay) {
      chosen.refusal = "N must be a period number from 1 to 7, not " + text;
      return chosen;
    }
    chosen.periods.push_back(text[0] - '1');
  }
  return chosen;
}

int SetPeriods(Commands& commands, const PeriodSetArguments& arguments) {
  const std::string where = "period set";
  PeriodRow given;  // only the fields given are used
  if (!arguments.start.empty() && !ReadTime(arguments.start, &given.startH, &given.startM))
    return Refuse(where, "--start expects HH:MM (hour 0-23, minute 0-59), not " + arguments.start);
  if (!arguments.end.empty() && !ReadTime(arguments.end, &given.endH, &given.endM))
    return Refuse(where, "--end expects HH:MM (hour 0-23, minute 0-59), not " + arguments.end);
  if (arguments.start.empty() && arguments.end.empty() && arguments.teacher.empty() &&
      !arguments.noTeacher && arguments.autoOn < 0 && arguments.autoOff < 0) {
    std::cerr << "brenlow-admin: period set: nothing to change; give --start, --end, --teacher, "
                 "--no-teacher, --auto-on or --auto-off\n";
    return kUsageError;
  }
  int written = 0;
  int code = ChangeStore(commands, where, [&](Database& db) -> std::string {
    return InTransaction(commands, db, [&]() -> std::string {
      Chosen chosen = Choose(commands.store, db, arguments.choice);
      if (!chosen.refusal.empty())
        return chosen.refusal;
      std::string thName;
      if (!arguments.teacher.empty()) {
        std::optional<std::string> name = TeacherName(db, arguments.teacher);
        if (!name)
          return "没有这个工号的老师：" + arguments.teacher;
        thName = NameNumb(*name, arguments.teacher);
      }
      for (const std::string& className : chosen.classes) {
        std::optional<ClassTimetable> timetable = ReadClassTimetable(db, className);
        if (!timetable)
          return CannotRead(commands.store);
        for (int day : chosen.days) {
          for (int number : chosen.periods) {
            const std::vector<PeriodRow>& rows = timetable->periods[static_cast<size_t>(day)];
            if (static_cast<size_t>(number) >= rows.size()) {
              if (chosen.classes.size() == 1 && chosen.periods.size() == 1)
                return className + " " + kSchoolWeekdays[static_cast<size_t>(day)] + " has no " +
                       "period " + std::to_string(number + 1);
              continue;  // a class with fewer periods: the ones it has
            }
            PeriodRow period = rows[static_cast<size_t>(number)];
            if (!arguments.start.empty()) {
              period.startH = given.startH;
              period.startM = given.startM;
            }
            if (!arguments.end.empty()) {
              period.endH = given.endH;
              period.endM = given.endM;
            }
            std::optional<int> start = PeriodTime(period.startH, period.startM);
            std::optional<int> end = PeriodTime(period.endH, period.endM);
            if (start && end && *end <= *start)
              return className + " " + kSchoolWeekdays[static_cast<size_t>(day)] + " 第 " +
                     std::to_string(number + 1) + " 节：结束时间 " +
                     TimeText(period.endH, period.endM) + " 不在开始时间 " +
                     TimeText(period.startH, period.startM) + " 之后";
            if (!arguments.teacher.empty())
              period.thName = thName;
            if (arguments.noTeacher)
              period.thName.clear();  // as "应用" writes a row without a chosen teacher
            if (arguments.autoOn >= 0)
              period.autoOn = arguments.autoOn;
            if (arguments.autoOff >= 0)
              period.autoOff = arguments.autoOff;
            if (!WritePeriod(db, period))
              return StoreFailure(commands);
            ++written;
          }
        }
      }
      return std::string();
    });
  });
  if (code == kDone)
    std::cout << "已写入 " << written << " 节\n";
  return code;
}

struct CourseSetArguments {
  std::string className, day, number, name;
};

int SetCourse(Commands& commands, const CourseSetArguments& arguments) {
  const std::string where = "course set " + arguments.className;
  std::optional<int> day = SchoolWeekdayIndex(arguments.day);
  if (!day)
    return Refuse(where, WeekdayRefusal(arguments.day));
  const std::string& n = arguments.number;
  if (n.size() != 1 || n[0] < '1' || n[0] > '0' + kPeriodsPerDay)
    return Refuse(where, "N must be a period number from 1 to 7, not " + n);
  if (Utf16Length(arguments.name) > kShellClassNameUnits)
    return Refuse(where, "课程名多于 " + std::to_string(kShellClassNameUnits) +
                             " 个字符（终端只收到 " + std::to_string(kShellClassNameUnits) +
                             " 个）");
  return ChangeStore(commands, where, [&](Database& db) -> std::string {
    if (!ClassExists(db, arguments.className))
      return "没有这个班级";
    return InTransaction(commands, db, [&]() -> std::string {
      return WriteCourse(db, arguments.className, *day, n[0] - '1', arguments.name)
                 ? std::string()
                 : StoreFailure(commands);
    });
  });
}

void AddPeriodChoice(CLI::App* command, PeriodChoice* choice) {
  command->add_option("WHICH", choice->words,
                      "CLASS WEEKDAY N: the class, the weekday (星期一..星期五, 1..5 or "
                      "monday..friday) and the period (1-7); each may be left out for its "
                      "--all-* flag");
  command->add_flag("--all-classes", choice->allClasses, "every class");
  command->add_flag("--all-days", choice->allDays, "every weekday, Monday to Friday");
  command->add_flag("--all-periods", choice->allPeriods, "periods 1 to 7");
}

}  // namespace

void AddTimetableCommands(CLI::App& app, Commands& commands) {
  auto timetable = std::make_shared<TimetableArguments>();
  CLI::App* show = app.add_subcommand(
      "timetable",
      "A class's course names and periods (number, start, end, course, teacher, automatic "
      "power-on and power-off) for one weekday or all five");
  show->add_option("CLASS", timetable->className, "class name")->required();
  show->add_option("--day", timetable->day, "only this weekday")
      ->option_text("星期一..星期五|1..5|monday..friday");
  AddFormatOption(show, &timetable->format);
  commands.add(show, [&commands, timetable] { return ShowTimetable(commands, *timetable); });

  auto period = std::make_shared<PeriodSetArguments>();
  CLI::App* periodGroup = app.add_subcommand("period", "Set periods' times, teacher and flags");
  periodGroup->require_subcommand(1);
  CLI::App* set = periodGroup->add_subcommand(
      "set",
      "Set one period or many, as the timetable window's \"应用\" does, in one transaction; "
      "fields not given stay as they are");
  AddPeriodChoice(set, &period->choice);
  set->add_option("--start", period->start, "start time")->option_text("HH:MM");
  set->add_option("--end", period->end, "end time (after the start)")->option_text("HH:MM");
  CLI::Option* teacher =
      set->add_option("--teacher", period->teacher, "the teacher's number (card number)")
          ->option_text("NUMBER");
  set->add_flag("--no-teacher", period->noTeacher, "no teacher")->excludes(teacher);
  set->add_option("--auto-on", period->autoOn, "power the room on at the start")
      ->check(CLI::IsMember({0, 1}))
      ->option_text("0|1");
  set->add_option("--auto-off", period->autoOff, "power the room off at the end")
      ->check(CLI::IsMember({0, 1}))
      ->option_text("0|1");
  commands.add(set, [&commands, period] { return SetPeriods(commands, *period); });

  auto course = std::make_shared<CourseSetArguments>();
  CLI::App* courseGroup = app.add_subcommand("course", "Set a course name");
  courseGroup->require_subcommand(1);
  CLI::App* courseSet = courseGroup->add_subcommand(
      "set", "Set the course name of period N on WEEKDAY, as the window's \"保存\" writes it");
  courseSet->add_option("CLASS", course->className, "class name")->required();
  courseSet->add_option("WEEKDAY", course->day, "星期一..星期五, 1..5 or monday..friday")
      ->required();
  courseSet->add_option("N", course->number, "period 1-7")->required();
  courseSet->add_option("NAME", course->name, "the course name")->required();
  commands.add(courseSet, [&commands, course] { return SetCourse(commands, *course); });
}

}  // namespace brenlow::admin
