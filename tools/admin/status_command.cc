// status: every room with its controller, its power state and the day's periods, marking the
// period running now and the room's next scheduled power-on or power-off. The rows are the
// status window's (schedule/room_status.h).
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/clock.h"
#include "schedule/room_status.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

struct StatusArguments {
  std::string date;  // empty: today
  OutputFormat format = OutputFormat::kTable;
};

const char* PowerKey(PowerState power) {
  switch (power) {
    case PowerState::kOn:
      return "on";
    case PowerState::kOff:
      return "off";
    case PowerState::kUnknown:
      break;
  }
  return "unknown";
}

// Today: from the minute now. Another day: nothing runs; actions count from the start of a day
// to come and not at all on a day gone.
StatusMoment MomentFor(const std::string& date, const LocalTime& now) {
  if (date.empty() || date == now.dateText())
    return MomentOf(now);
  // The option's check accepted only real days.
  const CalendarDate day = CalendarDate::Parse(date).value_or(now.date());
  return StatusMoment{day, date > now.dateText() ? 0 : 24 * 60, false};
}

std::string PeriodTime(const PeriodStatus& period) {
  return TimeOfDayText(*period.start) + "-" + TimeOfDayText(*period.end);
}

void WriteTable(const std::vector<RoomStatus>& rooms, const std::string& today) {
  std::vector<TextRow> rows;
  for (const RoomStatus& room : rooms) {
    TextRow first = {room.name,
                     room.zkip,
                     PowerStateText(room.power),
                     DayReasonText(room.day),
                     NextActionText(room),
                     LastReportText(room, today)};
    bool listed = false;
    for (const PeriodStatus& period : room.periods) {
      if (!period.start)
        continue;
      TextRow row = listed ? TextRow(first.size()) : first;
      row.insert(row.end(), {(period.running ? "> " : "  ") + std::to_string(period.number),
                             PeriodTime(period), PeriodTeacherText(period),
                             period.autoOn ? "是" : "", period.autoOff ? "是" : ""});
      rows.push_back(std::move(row));
      listed = true;
    }
    if (!listed)
      rows.push_back(first);
  }
  WriteTextTable(std::cout,
                 {"班级", "中控IP", "状态", "日程", "下一动作", "最后上报", "节", "时间", "老师",
                  "自动开机", "自动关机"},
                 rows);
}

void WriteCsvRows(const std::vector<RoomStatus>& rooms) {
  std::vector<TextRow> rows;
  for (const RoomStatus& room : rooms) {
    TextRow first = {room.name,
                     room.zkip,
                     PowerKey(room.power),
                     DayKindKey(room.day.kind),
                     room.next ? TimeOfDayText(room.next->minute) : "",
                     room.next ? (room.next->powerOn ? "power-on" : "power-off") : ""};
    bool listed = false;
    for (const PeriodStatus& period : room.periods) {
      if (!period.start)
        continue;
      TextRow row = first;
      row.insert(row.end(), {std::to_string(period.number), TimeOfDayText(*period.start),
                             TimeOfDayText(*period.end), period.teacher, period.autoOn ? "1" : "0",
                             period.autoOff ? "1" : "0", period.running ? "1" : "0",
                             period.change ? ChangeKindKey(*period.change) : "",
                             room.lastReport.value_or("")});
      rows.push_back(std::move(row));
      listed = true;
    }
    if (!listed) {
      first.resize(14);
      first.push_back(room.lastReport.value_or(""));
      rows.push_back(first);
    }
  }
  WriteCsv(std::cout,
           {"class", "address", "status", "day", "next_time", "next_action", "period", "start",
            "end", "teacher", "auto_on", "auto_off", "running", "change", "last_report"},
           rows);
}

void WriteJsonRooms(const std::vector<RoomStatus>& rooms) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const RoomStatus& room : rooms) {
    nlohmann::ordered_json object;
    object["class"] = room.name;
    object["address"] = room.zkip;
    object["status"] = PowerKey(room.power);
    object["last_report"] = room.lastReport ? nlohmann::ordered_json(*room.lastReport)
                                            : nlohmann::ordered_json(nullptr);
    object["day"] = {
        {"kind", DayKindKey(room.day.kind)},
        {"weekday", room.day.weekday.empty() ? nlohmann::ordered_json(nullptr)
                                             : nlohmann::ordered_json(room.day.weekday)},
        {"note", room.day.note}};
    object["current"] = room.running ? nlohmann::ordered_json(room.periods[*room.running].number)
                                     : nlohmann::ordered_json(nullptr);
    if (room.next) {
      object["next"] = {{"time", TimeOfDayText(room.next->minute)},
                        {"action", room.next->powerOn ? "power-on" : "power-off"}};
    } else {
      object["next"] = nullptr;
    }
    object["periods"] = nlohmann::ordered_json::array();
    for (const PeriodStatus& period : room.periods) {
      if (!period.start)
        continue;
      nlohmann::ordered_json entry;
      entry["period"] = period.number;
      entry["start"] = TimeOfDayText(*period.start);
      entry["end"] = TimeOfDayText(*period.end);
      entry["teacher"] = period.teacher;
      entry["change"] = period.change ? nlohmann::ordered_json(ChangeKindKey(*period.change))
                                      : nlohmann::ordered_json(nullptr);
      entry["auto_on"] = period.autoOn;
      entry["auto_off"] = period.autoOff;
      entry["running"] = period.running;
      object["periods"].push_back(entry);
    }
    list.push_back(object);
  }
  WriteJson(std::cout, list);
}

int Status(const Store& store, const StatusArguments& arguments) {
  SystemClock clock;
  std::optional<std::vector<RoomStatus>> rooms =
      ReadRoomStatus(store, MomentFor(arguments.date, clock.now()));
  if (!rooms)
    return Refuse("status", store.path() + ": cannot be read as a Brenlow database");
  switch (arguments.format) {
    case OutputFormat::kTable:
      WriteTable(*rooms, clock.now().dateText());
      break;
    case OutputFormat::kCsv:
      WriteCsvRows(*rooms);
      break;
    case OutputFormat::kJson:
      WriteJsonRooms(*rooms);
      break;
  }
  return kDone;
}

}  // namespace

void AddStatusCommand(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<StatusArguments>();
  CLI::App* status = app.add_subcommand(
      "status",
      "Every room: controller address, power state as last reported, the day's periods (\">\" "
      "marks the one running now) and the next scheduled power-on or power-off");
  status->add_option("--date", arguments->date, "the day to show (default: today)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  AddFormatOption(status, &arguments->format);
  commands.add(status, [&commands, arguments] { return Status(commands.store, *arguments); });
}

}  // namespace brenlow::admin
