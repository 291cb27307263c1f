#include "records/day_changes.h"

#include "core/lenient_integer.h"
#include "core/weekdays.h"
#include "records/class_records.h"
#include "records/day_plan.h"
#include "records/teacher_records.h"

namespace brenlow {
namespace {

std::optional<ChangeKind> ChangeKindFromKey(const std::string& key) {
  if (key == "substitute")
    return ChangeKind::kSubstitute;
  if (key == "cancelled")
    return ChangeKind::kCancelled;
  return std::nullopt;
}

}  // namespace

const char* ChangeKindKey(ChangeKind kind) {
  return kind == ChangeKind::kSubstitute ? "substitute" : "cancelled";
}

const char* ChangeKindText(ChangeKind kind) {
  return kind == ChangeKind::kSubstitute ? "代课" : "停课";
}

std::string DayChangeRefusal(Database& db, const DayChange& change) {
  if (!ClassExists(db, change.className))
    return "no such class: " + change.className;
  if (change.kind == ChangeKind::kSubstitute && !TeacherExists(db, change.teacherNumber))
    return "no teacher has the number: " + change.teacherNumber;
  if (change.period < 1 || change.period > kPeriodsPerDay)
    return "a period is 1 to " + std::to_string(kPeriodsPerDay) +
           ", not: " + std::to_string(change.period);
  const DayPlan plan = PlanOfTheDay(db, change.date, change.className);
  for (const PlannedPeriod& period : plan.periods) {
    if (period.number == change.period && period.inUse)
      return std::string();
  }
  return "period " + std::to_string(change.period) + " of " + change.className +
         " has no times on " + change.date.text();
}

Status AddDayChange(Database& db, const DayChange& change) {
  const bool substitute = change.kind == ChangeKind::kSubstitute;
  const std::string number = substitute ? change.teacherNumber : std::string();
  // The teacher's NameNumb of today is kept beside the number, for a teacher removed later.
  return db.execute(FormatStatement(
      "Insert or Replace into tbl_day_change "
      "(date_day,class_Name,period,kind,teacher_Numb,teacher_NameNumb,note) "
      "Values ('%s','%s',%d,'%s','%s',ifnull((select NameNumb from tblThMes where Numb='%s' "
      "Order by ID limit 1),''),'%s')",
      change.date.text(), change.className, change.period, ChangeKindKey(change.kind), number,
      number, change.note));
}

std::optional<bool> RemoveDayChange(Database& db, const CalendarDate& date,
                                    const std::string& className, int period) {
  constexpr const char* kWhere =
      " from tbl_day_change where date_day='%s' and class_Name='%s' and period=%d";
  RecordSet count = db.query(FormatStatement(std::string("select count(*) as n") + kWhere,
                                             date.text(), className, period));
  if (!count.isValid())
    return false;  // no change table: there is nothing to remove
  if (count.fieldText("n") == "0")
    return false;
  if (!db.execute(FormatStatement(std::string("Delete") + kWhere, date.text(), className, period)))
    return std::nullopt;
  return true;
}

std::vector<DayChange> ListDayChanges(Database& db, const std::optional<CalendarDate>& first,
                                      const std::optional<CalendarDate>& last) {
  // The teachers are joined once, as a table (the store indexes it for the join), not looked
  // up once per change: tblThMes has no index on Numb. The first row of a number names it.
  RecordSet rows = db.query(FormatStatement(
      "select c.date_day as date_day, c.class_Name as class_Name, c.period as period, "
      "c.kind as kind, c.teacher_Numb as teacher_Numb, c.note as note, "
      "ifnull(t.NameNumb, c.teacher_NameNumb) as teacher "
      "from tbl_day_change c left join (select Numb, NameNumb, min(ID) from tblThMes "
      "group by Numb) t on t.Numb=c.teacher_Numb "
      "where c.date_day>='%s' and c.date_day<='%s' "
      "Order by c.date_day, c.class_Name, c.period, c.ID",
      first ? first->text() : std::string(), last ? last->text() : std::string("9999-99-99")));
  std::vector<DayChange> changes;
  if (!rows.isValid())
    return changes;  // an older file without the table
  for (; !rows.isEof(); rows.moveNext()) {
    std::optional<CalendarDate> date = CalendarDate::Parse(rows.fieldText("date_day"));
    std::optional<ChangeKind> kind = ChangeKindFromKey(rows.fieldText("kind"));
    if (!date || !kind)
      continue;
    DayChange change{*date,
                     rows.fieldText("class_Name"),
                     LenientInteger(rows.fieldText("period")),
                     *kind,
                     rows.fieldText("teacher_Numb"),
                     rows.fieldText("teacher"),
                     rows.fieldText("note")};
    if (change.kind == ChangeKind::kCancelled) {
      change.teacherNumber.clear();
      change.teacher.clear();
    }
    changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace brenlow
