#include "records/calendar_records.h"

#include <algorithm>
#include <cctype>

#include "core/weekdays.h"
#include "records/class_records.h"

namespace brenlow {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

const char* CalendarKindKey(CalendarKind kind) {
  return kind == CalendarKind::kFollows ? "follows" : "off";
}

const char* CalendarKindText(CalendarKind kind) {
  return kind == CalendarKind::kFollows ? "调休" : "放假";
}

std::optional<CalendarKind> CalendarKindFromText(std::string_view text) {
  const std::string lower = Lower(text);
  if (lower == "off" || text == "放假")
    return CalendarKind::kOff;
  if (lower == "follows" || text == "调休")
    return CalendarKind::kFollows;
  return std::nullopt;
}

std::optional<std::string> SchoolWeekdayFromText(std::string_view text) {
  static const char* const kEnglish[] = {"monday", "tuesday", "wednesday", "thursday", "friday"};
  const std::string lower = Lower(text);
  for (size_t i = 0; i < kSchoolWeekdays.size(); ++i) {
    if (text == kSchoolWeekdays[i] || lower == kEnglish[i] || lower == std::to_string(i + 1))
      return std::string(kSchoolWeekdays[i]);
  }
  return std::nullopt;
}

std::optional<std::vector<CalendarDate>> DatesFromTo(const CalendarDate& first,
                                                     const CalendarDate& last) {
  if (last < first)
    return std::nullopt;
  std::vector<CalendarDate> dates;
  for (CalendarDate date = first; date <= last; date = date.next()) {
    if (static_cast<int>(dates.size()) == kMaxCalendarRangeDays)
      return std::nullopt;
    dates.push_back(date);
  }
  return dates;
}

std::string CalendarEntryRefusal(Database& db, const CalendarEntry& entry) {
  if (entry.kind == CalendarKind::kFollows) {
    if (!entry.className.empty())
      return "a make-up day is for the whole school, not one class";
    if (!SchoolWeekdayFromText(entry.weekday))
      return "a make-up day follows 星期一 to 星期五, not: " + entry.weekday;
    return std::string();
  }
  if (!entry.className.empty() && !ClassExists(db, entry.className))
    return "no such class: " + entry.className;
  return std::string();
}

bool AddCalendarEntries(Database& db, const std::vector<CalendarEntry>& entries) {
  // One transaction: a range or a file is written whole or not at all, and a few hundred rows
  // take one commit instead of one each.
  if (!db.execute("BEGIN IMMEDIATE"))
    return false;
  for (const CalendarEntry& entry : entries) {
    const std::string weekday = entry.kind == CalendarKind::kFollows ? entry.weekday : "";
    if (!db.execute(FormatStatement(
            "Insert or Replace into tbl_calendar (date_day,kind,weekday,class_Name,note) "
            "Values ('%s','%s','%s','%s','%s')",
            entry.date.text(), CalendarKindKey(entry.kind), weekday, entry.className,
            entry.note))) {
      db.execute("ROLLBACK");
      return false;
    }
  }
  if (!db.execute("COMMIT")) {
    db.execute("ROLLBACK");
    return false;
  }
  return true;
}

std::optional<int> RemoveCalendarEntries(Database& db, const CalendarDate& first,
                                         const CalendarDate& last, const std::string& className) {
  constexpr const char* kWhere =
      " from tbl_calendar where date_day>='%s' and date_day<='%s' and class_Name='%s'";
  RecordSet count = db.query(FormatStatement(std::string("select count(*) as n") + kWhere,
                                             first.text(), last.text(), className));
  if (!count.isValid())
    return std::nullopt;  // no calendar table: nothing to remove, and nothing can be
  const int removed = std::stoi(count.fieldText("n"));
  if (!db.execute(
          FormatStatement(std::string("Delete") + kWhere, first.text(), last.text(), className)))
    return std::nullopt;
  return removed;
}

std::vector<CalendarEntry> ListCalendarEntries(Database& db,
                                               const std::optional<CalendarDate>& first,
                                               const std::optional<CalendarDate>& last) {
  RecordSet rows = db.query(FormatStatement(
      "select * from tbl_calendar where date_day>='%s' and date_day<='%s' "
      "Order by date_day, class_Name, ID",
      first ? first->text() : std::string(), last ? last->text() : std::string("9999-99-99")));
  std::vector<CalendarEntry> entries;
  if (!rows.isValid())
    return entries;  // an older file without the table
  for (; !rows.isEof(); rows.moveNext()) {
    std::optional<CalendarDate> date = CalendarDate::Parse(rows.fieldText("date_day"));
    std::optional<CalendarKind> kind = CalendarKindFromText(rows.fieldText("kind"));
    if (!date || !kind)
      continue;
    entries.push_back(CalendarEntry{*date, *kind, rows.fieldText("weekday"),
                                    rows.fieldText("class_Name"), rows.fieldText("note")});
  }
  return entries;
}

}  // namespace brenlow
