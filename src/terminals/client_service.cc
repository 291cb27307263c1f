#include "terminals/client_service.h"

#include <memory>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "events/event_log.h"
#include "terminals/client_records.h"
#include "terminals/edit_log.h"
#include "terminals/known_address.h"
#include "terminals/period_fields.h"
#include "terminals/terminal_request.h"

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
void AnswerTeacherList(const Store& store, const TerminalRequest& request, std::string& reply) {
  const std::string* slot = FirstKnownSlot(store, request.slots);
  if (slot == nullptr)
    return;
  Database db = store.database();
  db.open();
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

// The audit line of one edit and its event, written when the edit's handling ends, however it
// ends. row names the row within the class ("week=星期三 row=1").
class EditAudit {
 public:
  EditAudit(const char* kind, const std::string& peer, std::string className, std::string row)
      : kind_(kind), peer_(peer), className_(std::move(className)), row_(std::move(row)) {}
  ~EditAudit() {
    LogEdit(kind_, peer_, "class=" + className_ + " " + row_, changes_, outcome_);
    std::vector<EditedField> fields;
    for (const FieldChange& change : changes_)
      fields.push_back({change.field, change.before, change.after});
    RecordEvent(
        EditEvent(peer_, className_, std::string(kind_) + " " + row_, std::move(fields), outcome_));
  }
  EditAudit(const EditAudit&) = delete;
  EditAudit& operator=(const EditAudit&) = delete;

  // Notes the field when the row's value (read quietly: a NULL counts as empty) differs.
  void compare(const char* field, RecordSet& row, const std::string& after) {
    std::string before;
    try {
      before = row.fieldText(field);
    } catch (const DatabaseError&) {
    }
    if (before != after)
      changes_.push_back({field, before, after});
  }
  void setOutcome(std::string outcome) { outcome_ = std::move(outcome); }
  void clearChanges() { changes_.clear(); }

 private:
  const char* kind_;
  const std::string& peer_;
  std::string className_;
  std::string row_;
  std::vector<FieldChange> changes_;
  std::string outcome_ = "no such row";
};

// Kind 2: rewrites the row-th period (from 0) of the class's weekday; another index changes
// nothing.
void EditPeriod(const Store& store, const PeriodEditRequest& edit, const std::string& peer) {
  EditAudit audit("period", peer, edit.bjName,
                  "week=" + edit.week + " row=" + std::to_string(edit.row));
  Database db = store.database();
  db.open();
  RecordSet periods = db.query(FormatStatement(kPeriodsOfWeekday, edit.bjName, edit.week));
  if (!periods.isValid()) {
    audit.setOutcome("not carried out: the store could not be read");
    return;
  }
  for (int32_t count = 0; !periods.isEof(); ++count, periods.moveNext()) {
    if (count != edit.row)
      continue;
    audit.setOutcome("");
    for (const PeriodField& field : kPeriodFields) {
      if (field.edited)
        audit.compare(field.column, periods,
                      field.editText != nullptr ? edit.*field.editText
                                                : std::to_string(edit.*field.editNumber));
    }
    if (!db.execute(FormatStatement(kUpdatePeriod, edit.startH, edit.startM, edit.endH, edit.endM,
                                    edit.autoOn, edit.autoOff, edit.thName,
                                    RowId{periods.fieldText("ID")}))) {
      audit.clearChanges();
      audit.setOutcome("not written: the store refused the update");
    }
    break;
  }
  db.close();
}

// Kind 3: rewrites the row-th course row (from 0) of the class; another index changes nothing.
void EditCourses(const Store& store, const CourseEditRequest& edit, const std::string& peer) {
  static const char* const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
  EditAudit audit("courses", peer, edit.bjName, "row=" + std::to_string(edit.row));
  Database db = store.database();
  db.open();
  RecordSet rows = db.query(FormatStatement(kCourseRows, edit.bjName));
  if (!rows.isValid()) {
    audit.setOutcome("not carried out: the store could not be read");
    return;
  }
  for (int32_t count = 0; !rows.isEof(); ++count, rows.moveNext()) {
    if (count != edit.row)
      continue;
    audit.setOutcome("");
    for (size_t day = 0; day < 5; ++day)
      audit.compare(kDays[day], rows, edit.days[day]);
    if (!db.execute(FormatStatement(kUpdateCourses, edit.days[0], edit.days[1], edit.days[2],
                                    edit.days[3], edit.days[4], RowId{rows.fieldText("ID")}))) {
      audit.clearChanges();
      audit.setOutcome("not written: the store refused the update");
    }
    break;
  }
  db.close();
}

// The teacher list; false when a read failed part way.
bool AnswerTeacherListQuietly(const Store& store, const TerminalRequest& header,
                              std::string& reply) {
  try {
    AnswerTeacherList(store, header, reply);
  } catch (const DatabaseError&) {
    return false;  // what it produced before still goes out
  }
  return true;
}

// Carries out one complete request; the reply collects what it answers.
void Serve(const Store& store, const TerminalRequest& header, std::string_view bytes,
           const std::string& peer, std::string& reply, ReplyCache* cache) {
  if (header.kind == kTeacherListKind) {
    if (cache == nullptr) {
      AnswerTeacherListQuietly(store, header, reply);
    } else {
      cache->answer(store.path(), RequestKey(header), reply, [&](std::string& made) {
        return AnswerTeacherListQuietly(store, header, made);
      });
    }
    return;
  }
  try {
    switch (header.kind) {
      case kPeriodEditKind:
        EditPeriod(store, ParsePeriodEditRequest(bytes), peer);
        break;
      case kCourseEditKind:
        EditCourses(store, ParseCourseEditRequest(bytes), peer);
        break;
      default:
        break;
    }
  } catch (const DatabaseError&) {
    // A failed read ends the request; what it produced before still goes out.
  }
}

}  // namespace

size_t ServeClientRequest(const Store& store, std::string_view buffered, const std::string& peer,
                          std::string& reply, ReplyCache* cache) {
  std::optional<TerminalRequest> header = ParseTerminalRequest(buffered);
  if (!header)
    return 0;
  size_t size = ClientRequestSize(header->kind);
  if (size == 0)
    return buffered.size();  // a kind this port does not know: its length is unknown too
  if (size > buffered.size())
    return 0;
  Serve(store, *header, buffered.substr(0, size), peer, reply, cache);
  return size;
}

size_t ClientService(const Store& store, std::string_view buffered, const std::string& peer,
                     std::string& reply) {
  return ServeClientRequest(store, buffered, peer, reply, nullptr);
}

ConnectionService ClientServiceOn(Store store) {
  return [store = std::move(store)](std::string_view buffered, const std::string& peer,
                                    std::string& reply) {
    return ClientService(store, buffered, peer, reply);
  };
}

ConnectionService CachingClientService(Store store, ReplyCache::Limits limits) {
  return [store = std::move(store), cache = std::make_shared<ReplyCache>(limits)](
             std::string_view buffered, const std::string& peer, std::string& reply) {
    return ServeClientRequest(store, buffered, peer, reply, cache.get());
  };
}

}  // namespace brenlow
