#include "net/client_service.h"

#include <string_view>

#include "data/database.h"
#include "net/client_records.h"
#include "net/known_address.h"
#include "net/terminal_request.h"

namespace brenlow {
namespace {

constexpr const char* kNameByAddress = "select Name from tblbj where PCMacAddr='%s' Order by ID";
constexpr const char* kTeachers = "select * from tblThMes Order by ID";
constexpr const char* kPeriodsOfWeekday =
    "select * from tblkcTime where BJName='%s' and Week='%s' Order by ID";
constexpr const char* kUpdatePeriod =
    "Update tblkcTime set  StartH='%s', StartM='%s', EndH='%s', EndM='%s',AutoOn=%d,AutoOff=%d "
    ",ThName='%s' where ID=%s";
constexpr const char* kCourseRows = "select * from tblkc where BJName='%s'  Order by ID";
constexpr const char* kUpdateCourses =
    "Update tblkc set Monday='%s',Tuesday='%s',Wednesday='%s',Thursday='%s',Friday='%s'  "
    "where ID=%s";

// Kind 1: for the first known slot only, every teacher's NameNumb in ID order, then the end
// record. Nothing at all when no slot is known or its class is gone.
void AnswerTeacherList(const TerminalRequest& request, std::string& reply) {
  const std::string* slot = FirstKnownSlot(request.slots);
  if (slot == nullptr)
    return;
  Database db;
  OpenRequestStore(db);
  RecordSet names = db.query(FormatStatement(kNameByAddress, *slot));
  if (!names.isValid() || names.isEof())
    return;
  RecordSet teachers = db.query(kTeachers);
  if (!teachers.isValid())
    return;
  for (; !teachers.isEof(); teachers.moveNext()) {
    reply.append(TeacherNameRecordBytes(teachers.fieldText("NameNumb")));
  }
  reply.append(EndRecordBytes());
  db.close();
}

// Kind 2: rewrites the row-th period (from 0) of the class's weekday; another index changes
// nothing.
void EditPeriod(const PeriodEditRequest& edit) {
  Database db;
  OpenRequestStore(db);
  RecordSet periods = db.query(FormatStatement(kPeriodsOfWeekday, edit.bjName, edit.week));
  if (!periods.isValid())
    return;
  for (int32_t count = 0; !periods.isEof(); ++count, periods.moveNext()) {
    if (count != edit.row)
      continue;
    db.execute(FormatStatement(kUpdatePeriod, edit.startH, edit.startM, edit.endH, edit.endM,
                               edit.autoOn, edit.autoOff, edit.thName,
                               RowId{periods.fieldText("ID")}));
    break;
  }
  db.close();
}

// Kind 3: rewrites the row-th course row (from 0) of the class; another index changes nothing.
void EditCourses(const CourseEditRequest& edit) {
  Database db;
  OpenRequestStore(db);
  RecordSet rows = db.query(FormatStatement(kCourseRows, edit.bjName));
  if (!rows.isValid())
    return;
  for (int32_t count = 0; !rows.isEof(); ++count, rows.moveNext()) {
    if (count != edit.row)
      continue;
    db.execute(FormatStatement(kUpdateCourses, edit.days[0], edit.days[1], edit.days[2],
                               edit.days[3], edit.days[4], RowId{rows.fieldText("ID")}));
    break;
  }
  db.close();
}

// Carries out one complete request; the reply collects what it answers.
void Serve(const TerminalRequest& header, std::string_view bytes, std::string& reply) {
  try {
    switch (header.kind) {
      case kTeacherListKind:
        AnswerTeacherList(header, reply);
        break;
      case kPeriodEditKind:
        EditPeriod(ParsePeriodEditRequest(bytes));
        break;
      case kCourseEditKind:
        EditCourses(ParseCourseEditRequest(bytes));
        break;
      default:
        break;
    }
  } catch (const DatabaseError&) {
    // A failed read ends the request; what it produced before still goes out.
  }
}

}  // namespace

size_t ClientService(std::string_view buffered, const std::string& /*peer*/, std::string& reply) {
  std::optional<TerminalRequest> header = ParseTerminalRequest(buffered);
  if (!header)
    return 0;
  size_t size = ClientRequestSize(header->kind);
  if (size == 0)
    return buffered.size();  // a kind this port does not know: its length is unknown too
  if (size > buffered.size())
    return 0;
  Serve(*header, buffered.substr(0, size), reply);
  return size;
}

}  // namespace brenlow
