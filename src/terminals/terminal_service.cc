#include "terminals/terminal_service.h"

#include <algorithm>
#include <memory>
#include <string>

#include "data/database.h"
#include "terminals/known_address.h"
#include "terminals/period_fields.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

constexpr const char* kNameByAddress = "select Name from tblbj where PCMacAddr='%s' Order by ID";
constexpr const char* kPeriodsByClass = "select * from tblkcTime where BJName='%s' Order by ID";
constexpr const char* kCoursesByClass = "select * from tblkc where BJName='%s' Order by ID";
constexpr const char* kPasswordByAddress =
    "select Pass from tblbj where PCMacAddr='%s' Order by ID";

// Kind 1, first known slot only: the class name, whether or not the slot's class is found.
void AnswerClassName(const Store& store, const TerminalRequest& request, std::string& reply) {
  const std::string* slot = FirstKnownSlot(store, request.slots);
  if (slot == nullptr)
    return;
  Database db = store.database();
  db.open();
  RecordSet names = db.query(FormatStatement(kNameByAddress, *slot));
  if (!names.isValid())
    return;
  if (!names.isEof())
    reply.append(ClassNameReplyBytes(names.fieldText("Name")));
  db.close();
}

// Kind 2, first known slot only: every period of the class, all weekdays, in ID order.
void AnswerPeriods(const Store& store, const TerminalRequest& request, std::string& reply) {
  const std::string* slot = FirstKnownSlot(store, request.slots);
  if (slot == nullptr)
    return;
  Database db = store.database();
  db.open();
  RecordSet names = db.query(FormatStatement(kNameByAddress, *slot));
  if (!names.isValid() || names.isEof())
    return;
  RecordSet periods = db.query(FormatStatement(kPeriodsByClass, names.fieldText("Name")));
  if (!periods.isValid())
    return;
  const size_t end = reply.size() + kMaxTerminalReplyBytes;
  reply.reserve(reply.size() +
                std::min(periods.rowCount() * kPeriodRecordSize, kMaxTerminalReplyBytes));
  for (; !periods.isEof() && reply.size() + kPeriodRecordSize <= end; periods.moveNext()) {
    PeriodRecord period;
    // The columns in the table's own order, which reads a row fastest.
    for (const PeriodField& field : kPeriodFields) {
      if (field.record != nullptr)
        period.*field.record = periods.fieldText(field.column);
    }
    AppendPeriodRecord(period, &reply);
  }
  db.close();
}

// Kind 3, every known slot: the class's course rows, once per slot that names it.
void AnswerCourses(const Store& store, const TerminalRequest& request, std::string& reply) {
  const size_t end = reply.size() + kMaxTerminalReplyBytes;
  static const auto* kDays =
      new std::string[kCourseDays]{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
  for (const std::string& slot : request.slots) {
    if (!IsKnownAddress(store, slot))
      continue;
    Database db = store.database();
    db.open();
    RecordSet names = db.query(FormatStatement(kNameByAddress, slot));
    if (!names.isValid())
      return;
    if (names.isEof())
      continue;
    RecordSet courses = db.query(FormatStatement(kCoursesByClass, names.fieldText("Name")));
    if (!courses.isValid())
      return;
    for (; !courses.isEof() && reply.size() + kCourseRecordSize <= end; courses.moveNext()) {
      CourseRecord record;
      for (size_t day = 0; day < kCourseDays; ++day) {
        record.days[day] = courses.fieldText(kDays[day]);
      }
      AppendCourseRecord(record, &reply);
    }
    db.close();
  }
}

// Kind 4, every known slot: the class password, once per slot that names it.
void AnswerPassword(const Store& store, const TerminalRequest& request, std::string& reply) {
  for (const std::string& slot : request.slots) {
    if (!IsKnownAddress(store, slot))
      continue;
    Database db = store.database();
    db.open();
    RecordSet passwords = db.query(FormatStatement(kPasswordByAddress, slot));
    if (!passwords.isValid())
      return;
    if (!passwords.isEof())
      reply.append(PasswordRecordBytes(passwords.fieldText("Pass")));
    db.close();
  }
}

}  // namespace

namespace {

// Appends the answer to a request of kinds 1 to 4; false when a read failed part way.
bool Answer(const Store& store, const TerminalRequest& request, std::string& reply) {
  try {
    switch (request.kind) {
      case kClassNameKind:
        AnswerClassName(store, request, reply);
        break;
      case kPeriodsKind:
        AnswerPeriods(store, request, reply);
        break;
      case kCoursesKind:
        AnswerCourses(store, request, reply);
        break;
      case kPasswordKind:
        AnswerPassword(store, request, reply);
        break;
    }
  } catch (const DatabaseError&) {
    // A failed read ends the request; what it produced before still goes out.
    return false;
  }
  return true;
}

bool IsAnsweredKind(int32_t kind) {
  return kind == kClassNameKind || kind == kPeriodsKind || kind == kCoursesKind ||
         kind == kPasswordKind;
}

}  // namespace

void AnswerTerminalRequest(const Store& store, std::string_view received, std::string& reply,
                           ReplyCache* cache) {
  std::optional<TerminalRequest> request = ParseTerminalRequest(received);
  if (!request || !IsAnsweredKind(request->kind))
    return;  // other kinds are answered with nothing
  if (cache == nullptr) {
    Answer(store, *request, reply);
    return;
  }
  cache->answer(store.path(), RequestKey(*request), reply,
                [&](std::string& made) { return Answer(store, *request, made); });
}

size_t TerminalService(const Store& store, std::string_view buffered, const std::string& /*peer*/,
                       std::string& reply) {
  if (buffered.size() < kTerminalRequestSize)
    return 0;
  AnswerTerminalRequest(store, buffered.substr(0, kTerminalRequestSize), reply);
  return kTerminalRequestSize;
}

ConnectionService TerminalServiceOn(Store store) {
  return [store = std::move(store)](std::string_view buffered, const std::string& peer,
                                    std::string& reply) {
    return TerminalService(store, buffered, peer, reply);
  };
}

ConnectionService CachingTerminalService(Store store, ReplyCache::Limits limits) {
  return [store = std::move(store), cache = std::make_shared<ReplyCache>(limits)](
             std::string_view buffered, const std::string& /*peer*/, std::string& reply) -> size_t {
    if (buffered.size() < kTerminalRequestSize)
      return 0;
    AnswerTerminalRequest(store, buffered.substr(0, kTerminalRequestSize), reply, cache.get());
    return kTerminalRequestSize;
  };
}

}  // namespace brenlow
