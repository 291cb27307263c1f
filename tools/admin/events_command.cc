// events: what happened in the rooms, oldest first; cards --unknown: the card numbers swiped in
// the last 30 days that no teacher has (events/event_reader.h).
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/clock.h"
#include "csv_output.h"
#include "events/event_reader.h"
#include "events/event_time.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kUnknownCardDays = 30;

struct EventsArguments {
  EventFilter filter;
  std::string kind;
  OutputFormat format = OutputFormat::kTable;
  CsvEncoding encoding = CsvEncoding::kByOutput;
};

Json TextOrNull(const std::string& text) {
  return text.empty() ? Json(nullptr) : Json(text);
}

const char* KindLabel(EventKind kind) {
  switch (kind) {
    case EventKind::kSwipe:
      return "刷卡";
    case EventKind::kCommand:
      return "命令";
    case EventKind::kEdit:
      return "编辑";
    case EventKind::kPower:
      break;
  }
  return "电源";
}

std::string FieldsText(const Event& event) {
  std::string text;
  for (const EditedField& field : event.fields) {
    text += (text.empty() ? "" : ", ") + field.field + " \"" + field.before + "\" -> \"" +
            field.after + "\"";
  }
  return text;
}

std::string FieldsJson(const Event& event) {
  Json fields = Json::object();
  for (const EditedField& field : event.fields)
    fields[field.field] = {field.before, field.after};
  return JsonLine(fields);
}

// One line of what happened, as the log says it.
std::string Detail(const Event& event) {
  switch (event.kind) {
    case EventKind::kSwipe:
      return "card=" + event.card + (event.teacher.empty() ? "" : " teacher=" + event.teacher) +
             " decision=" + event.decision;
    case EventKind::kCommand:
      return event.command + " to=" + (event.address.empty() ? "(this computer)" : event.address) +
             ":" + std::to_string(event.port) + " reason=" + event.reason +
             (event.outcome.empty() ? "" : " failed: " + event.outcome);
    case EventKind::kEdit: {
      std::string changes = FieldsText(event);
      if (!event.outcome.empty())
        changes = event.outcome;
      return event.editRow + ": " + (changes.empty() ? "no change" : changes);
    }
    case EventKind::kPower:
      break;
  }
  return event.power;
}

Json EventJson(const Event& event) {
  Json object;
  object["time"] = event.time;
  object["kind"] = EventKindText(event.kind);
  object["class"] = TextOrNull(event.className);
  object["address"] = event.address;
  object["count"] = event.count;
  switch (event.kind) {
    case EventKind::kSwipe:
      object["card"] = event.card;
      object["teacher"] = TextOrNull(event.teacher);
      object["decision"] = event.decision;
      break;
    case EventKind::kCommand:
      object["port"] = event.port;
      object["command"] = event.command;
      object["reason"] = event.reason;
      object["failure"] = TextOrNull(event.outcome);
      break;
    case EventKind::kEdit:
      object["row"] = event.editRow;
      object["fields"] = Json::object();
      for (const EditedField& field : event.fields)
        object["fields"][field.field] = {field.before, field.after};
      object["outcome"] = TextOrNull(event.outcome);
      break;
    case EventKind::kPower:
      object["power"] = event.power;
      break;
  }
  return object;
}

int Events(const Store& store, EventsArguments arguments) {
  if (!arguments.filter.from.empty() && !arguments.filter.to.empty() &&
      arguments.filter.from > arguments.filter.to) {
    std::cerr << "brenlow-admin: events: --from " << arguments.filter.from << " is after --to "
              << arguments.filter.to << '\n';
    return kUsageError;
  }
  if (!arguments.kind.empty())
    arguments.filter.kind = EventKindNamed(arguments.kind);
  std::optional<std::vector<Event>> events = ReadEvents(store, arguments.filter);
  if (!events)
    return Refuse("events", store.path() + ": cannot be read as a Brenlow database");
  switch (arguments.format) {
    case OutputFormat::kJson: {
      Json list = Json::array();
      for (const Event& event : *events)
        list.push_back(EventJson(event));
      WriteJson(std::cout, list);
      break;
    }
    case OutputFormat::kCsv: {
      std::vector<TextRow> rows;
      for (const Event& event : *events) {
        rows.push_back({event.time, EventKindText(event.kind), event.className, event.address,
                        std::to_string(event.count), event.card, event.teacher, event.decision,
                        event.command, event.reason, event.editRow,
                        event.kind == EventKind::kEdit ? FieldsJson(event) : "", event.power,
                        event.outcome});
      }
      WriteCsvOutput({"time", "kind", "class", "address", "count", "card", "teacher", "decision",
                      "command", "reason", "row", "fields", "power", "outcome"},
                     rows, arguments.encoding);
      break;
    }
    case OutputFormat::kTable: {
      std::vector<TextRow> rows;
      for (const Event& event : *events) {
        std::string time = event.time;
        if (time.size() > 10)
          time[10] = ' ';
        rows.push_back({time, KindLabel(event.kind), event.className, event.address,
                        std::to_string(event.count), Detail(event)});
      }
      WriteTextTable(std::cout, {"时间", "类型", "班级", "地址", "次数", "详情"}, rows);
      break;
    }
  }
  return kDone;
}

struct CardsArguments {
  bool unknown = false;
  OutputFormat format = OutputFormat::kTable;
  CsvEncoding encoding = CsvEncoding::kByOutput;
};

int Cards(const Store& store, const CardsArguments& arguments) {
  if (!arguments.unknown) {
    std::cerr << "brenlow-admin: cards: name --unknown (the cards no teacher has)\n";
    return kUsageError;
  }
  const std::string since = DaysEarlier(SystemClock().now(), kUnknownCardDays).dateText();
  std::optional<std::vector<UnknownCard>> cards = ReadUnknownCards(store, since);
  if (!cards)
    return Refuse("cards", store.path() + ": cannot be read as a Brenlow database");
  if (arguments.format == OutputFormat::kJson) {
    Json list = Json::array();
    for (const UnknownCard& card : *cards) {
      list.push_back({{"card", card.card},
                      {"class", TextOrNull(card.className)},
                      {"address", card.address},
                      {"last_time", card.lastTime},
                      {"count", card.count}});
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  std::vector<TextRow> rows;
  for (const UnknownCard& card : *cards) {
    std::string time = card.lastTime;
    if (arguments.format == OutputFormat::kTable && time.size() > 10)
      time[10] = ' ';
    rows.push_back({card.card, card.className, card.address, time, std::to_string(card.count)});
  }
  if (arguments.format == OutputFormat::kCsv) {
    WriteCsvOutput({"card", "class", "address", "last_time", "count"}, rows, arguments.encoding);
  } else {
    WriteTextTable(std::cout, {"卡号", "班级", "中控IP", "最后刷卡", "次数"}, rows);
  }
  return kDone;
}

}  // namespace

void AddEventsCommands(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<EventsArguments>();
  CLI::App* events = app.add_subcommand(
      "events",
      "What happened in the rooms, oldest first: card swipes and their decisions, commands sent, "
      "terminals' edits and changes of a room's power state");
  events->add_option("--from", arguments->filter.from, "first day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  events->add_option("--to", arguments->filter.to, "last day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  events->add_option("--class", arguments->filter.className, "only the events of this class")
      ->option_text("NAME");
  events->add_option("--kind", arguments->kind, "only events of this kind")
      ->check(CLI::IsMember({"swipe", "command", "edit", "power"}))
      ->option_text("swipe|command|edit|power");
  AddFormatOption(events, &arguments->format);
  AddEncodingOption(events, &arguments->encoding);
  commands.add(events, [&commands, arguments] { return Events(commands.store, *arguments); });

  auto cardsArguments = std::make_shared<CardsArguments>();
  CLI::App* cards = app.add_subcommand(
      "cards",
      "With --unknown: the card numbers swiped in the last 30 days that no teacher has, by their "
      "latest swipe (swipe a new teacher's card once, then read its number here)");
  cards->add_flag("--unknown", cardsArguments->unknown, "the cards no teacher has (required)");
  AddFormatOption(cards, &cardsArguments->format);
  AddEncodingOption(cards, &cardsArguments->encoding);
  commands.add(cards,
               [&commands, cardsArguments] { return Cards(commands.store, *cardsArguments); });
}

}  // namespace brenlow::admin
