#include "events/event_reader.h"

#include <nlohmann/json.hpp>

#include "data/database.h"

namespace brenlow {
namespace {

// Whether the store holds the events table; nullopt when it cannot be read at all.
std::optional<bool> HasEventsTable(Database& db) {
  RecordSet rows =
      db.query("select count(*) as n from sqlite_master where type='table' and name='tbl_events'");
  if (!rows.isValid() || rows.isEof())
    return std::nullopt;
  return rows.fieldText("n") != "0";
}

std::vector<EditedField> FieldsOf(const std::string& text) {
  std::vector<EditedField> fields;
  const nlohmann::ordered_json object = nlohmann::ordered_json::parse(text, nullptr, false);
  if (!object.is_object())
    return fields;
  for (const auto& [name, change] : object.items()) {
    if (change.is_array() && change.size() == 2 && change[0].is_string() && change[1].is_string())
      fields.push_back({name, change[0].get<std::string>(), change[1].get<std::string>()});
  }
  return fields;
}

}  // namespace

std::optional<EventKind> EventKindNamed(const std::string& text) {
  for (EventKind kind :
       {EventKind::kSwipe, EventKind::kCommand, EventKind::kEdit, EventKind::kPower}) {
    if (text == EventKindText(kind))
      return kind;
  }
  return std::nullopt;
}

std::optional<std::vector<Event>> ReadEvents(const Store& store, const EventFilter& filter) {
  Database db = store.database();
  std::optional<bool> hasTable = HasEventsTable(db);
  if (!hasTable)
    return std::nullopt;
  std::vector<Event> events;
  if (!*hasTable)
    return events;
  // Unused bounds read as bounds no event passes: every time text lies between them.
  const std::string from = filter.from.empty() ? std::string() : filter.from + "T00:00:00";
  const std::string to = filter.to.empty() ? std::string("\x7f") : filter.to + "T99";
  const std::string kind = filter.kind ? EventKindText(*filter.kind) : "";
  RecordSet rows = db.query(FormatStatement(
      "select * from tbl_events where time>='%s' and time<'%s' and ('%s'='' or class='%s') and "
      "('%s'='' or kind='%s') Order by time, ID",
      from, to, filter.className, filter.className, kind, kind));
  if (!rows.isValid())
    return std::nullopt;
  try {
    for (; !rows.isEof(); rows.moveNext()) {
      Event event;
      event.kind = EventKindNamed(rows.fieldText("kind")).value_or(EventKind::kPower);
      event.time = rows.fieldText("time");
      event.className = rows.fieldText("class");
      event.address = rows.fieldText("address");
      event.port = std::stoi(rows.fieldText("port"));
      event.count = std::stoll(rows.fieldText("count"));
      event.card = rows.fieldText("card");
      event.teacher = rows.fieldText("teacher");
      event.decision = rows.fieldText("decision");
      event.command = rows.fieldText("command");
      event.reason = rows.fieldText("reason");
      event.outcome = rows.fieldText("outcome");
      event.editRow = rows.fieldText("edit_row");
      event.fields = FieldsOf(rows.fieldText("fields"));
      event.power = rows.fieldText("power");
      events.push_back(std::move(event));
    }
  } catch (const std::exception&) {
    return std::nullopt;  // a NULL or a number that is none: not a table this system wrote
  }
  return events;
}

std::optional<std::vector<UnknownCard>> ReadUnknownCards(const Store& store,
                                                         const std::string& since) {
  Database db = store.database();
  std::optional<bool> hasTable = HasEventsTable(db);
  if (!hasTable)
    return std::nullopt;
  std::vector<UnknownCard> cards;
  if (!*hasTable)
    return cards;
  const std::string from = since + "T00:00:00";
  RecordSet rows = db.query(FormatStatement(
      "select card, sum(count) as swipes, max(time) as last from tbl_events where "
      "time>='%s' and kind='swipe' and card<>'' and card not in (select Numb from tblThMes) "
      "group by card Order by last, card",
      from));
  if (!rows.isValid())
    return std::nullopt;
  try {
    for (; !rows.isEof(); rows.moveNext()) {
      UnknownCard card{rows.fieldText("card"), "", "", rows.fieldText("last"),
                       std::stoll(rows.fieldText("swipes"))};
      // The latest swipe of the card names its class and controller.
      RecordSet latest = db.query(FormatStatement(
          "select class, address from tbl_events where time='%s' and kind='swipe' and card='%s' "
          "Order by ID desc limit 1",
          card.lastTime, card.card));
      if (latest.isValid() && !latest.isEof()) {
        card.className = latest.fieldText("class");
        card.address = latest.fieldText("address");
      }
      cards.push_back(std::move(card));
    }
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return cards;
}

}  // namespace brenlow
