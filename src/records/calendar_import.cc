#include "records/calendar_import.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "records/gbk_text_file.h"

namespace brenlow {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCsvHeader = "date,kind,weekday,class,note";

// A file's entries with where each came from, before they are checked against the store.
struct ReadEntries {
  std::string error;  // without the file's name
  std::vector<CalendarEntry> entries;
  std::vector<std::string> places;  // "line 3", "day 4 (2026-10-10)"
  std::vector<MakeUpDay> unnamedMakeUpDays;
};

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t more = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
      more = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
      more = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
      more = 3;
    else if (lead >= 0x80)
      return false;
    if (more > bytes.size() - i - 1)
      return false;
    for (size_t k = 1; k <= more; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
        return false;
    }
    i += more + 1;
  }
  return true;
}

// The lines of a text file's bytes as UTF-8, without their line ends (LF or CR LF).
std::optional<std::vector<std::string>> TextLines(std::string_view bytes, std::string* error) {
  bool utf8 = bytes.starts_with(kByteOrderMark);
  if (utf8)
    bytes.remove_prefix(kByteOrderMark.size());
  else
    utf8 = IsUtf8(bytes);
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    std::string text;
    size_t badOffset = 0;
    if (utf8) {
      text = line;
    } else if (!DecodeGbk(line, text, badOffset)) {
      *error = "line " + std::to_string(lines.size() + 1) +
               ": neither UTF-8 nor code page 936 text at byte " + std::to_string(badOffset + 1);
      return std::nullopt;
    }
    lines.push_back(std::move(text));
  }
  return lines;
}

// The fields of one CSV line, quoted as RFC 4180 writes them; nullopt for an unclosed quote.
std::optional<std::vector<std::string>> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"')
        fields.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"')
        fields.back() += line[++i];
      else
        quoted = false;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else {
      fields.back() += c;
    }
  }
  if (quoted)
    return std::nullopt;
  return fields;
}

ReadEntries ReadCsv(std::string_view bytes) {
  ReadEntries read;
  std::optional<std::vector<std::string>> lines = TextLines(bytes, &read.error);
  if (!lines)
    return read;
  if (lines->empty() || (*lines)[0] != kCsvHeader) {
    read.error = "line 1: the header must be " + std::string(kCsvHeader);
    return read;
  }
  for (size_t i = 1; i < lines->size(); ++i) {
    const std::string& line = (*lines)[i];
    if (line.empty())
      continue;
    const std::string place = "line " + std::to_string(i + 1);
    std::optional<std::vector<std::string>> fields = CsvFields(line);
    if (!fields || fields->size() > 5) {
      read.error = place + ": " + (fields ? "more than 5 fields" : "a quote is not closed");
      return read;
    }
    fields->resize(5);
    const std::string& dateText = (*fields)[0];
    std::optional<CalendarDate> date = CalendarDate::Parse(dateText);
    if (!date) {
      read.error = place + ": not a date: " + dateText;
      return read;
    }
    std::optional<CalendarKind> kind = CalendarKindFromText((*fields)[1]);
    if (!kind) {
      read.error = place + ": the kind must be off, follows, 放假 or 调休, not: " + (*fields)[1];
      return read;
    }
    CalendarEntry entry{*date, *kind, std::string(), (*fields)[3], (*fields)[4]};
    if (*kind == CalendarKind::kFollows) {
      entry.weekday = SchoolWeekdayFromText((*fields)[2]).value_or((*fields)[2]);
    }
    read.entries.push_back(std::move(entry));
    read.places.push_back(place);
  }
  return read;
}

ReadEntries ReadHolidayJson(std::string_view bytes,
                            const std::map<std::string, std::string>& followedWeekdays) {
  ReadEntries read;
  if (bytes.starts_with(kByteOrderMark))
    bytes.remove_prefix(kByteOrderMark.size());
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(bytes);
  } catch (const nlohmann::json::exception& error) {
    read.error = std::string("not JSON: ") + error.what();
    return read;
  }
  if (!document.is_object() || !document.contains("days") || !document["days"].is_array()) {
    read.error = "a holiday data set is an object with a \"days\" array";
    return read;
  }
  std::map<std::string, std::string> unused = followedWeekdays;
  int number = 0;
  for (const nlohmann::json& day : document["days"]) {
    std::string place = "day " + std::to_string(++number);
    if (!day.is_object() || !day.contains("name") || !day["name"].is_string() ||
        !day.contains("date") || !day["date"].is_string() || !day.contains("isOffDay") ||
        !day["isOffDay"].is_boolean()) {
      read.error = place + ": needs \"name\" and \"date\" texts and \"isOffDay\" true or false";
      return read;
    }
    const std::string name = day["name"].get<std::string>();
    const std::string dateText = day["date"].get<std::string>();
    place += " (" + dateText + ")";
    std::optional<CalendarDate> date = CalendarDate::Parse(dateText);
    if (!date) {
      read.error = place + ": not a date: " + dateText;
      return read;
    }
    if (day["isOffDay"].get<bool>()) {
      read.entries.push_back(CalendarEntry{*date, CalendarKind::kOff, "", "", name});
      read.places.push_back(place);
      continue;
    }
    auto named = unused.find(dateText);
    if (named == unused.end()) {
      read.unnamedMakeUpDays.push_back(MakeUpDay{dateText, name});
      continue;
    }
    read.entries.push_back(CalendarEntry{*date, CalendarKind::kFollows, named->second, "", name});
    read.places.push_back(place);
    unused.erase(named);
  }
  if (!unused.empty())
    read.error = "--follows " + unused.begin()->first + ": no make-up day of the file on that date";
  return read;
}

}  // namespace

CalendarImport ImportCalendarFile(Database& db, const std::string& path,
                                  const std::map<std::string, std::string>& followedWeekdays) {
  CalendarImport result;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    result.error = path + ": cannot be read";
    return result;
  }
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const size_t first =
      bytes.find_first_not_of(" \t\r\n", bytes.starts_with(kByteOrderMark) ? 3 : 0);
  const bool json = first != std::string::npos && (bytes[first] == '{' || bytes[first] == '[');
  if (!json && !followedWeekdays.empty()) {
    result.error = path + ": --follows names make-up days of a holiday data set (JSON), not CSV";
    return result;
  }
  ReadEntries read = json ? ReadHolidayJson(bytes, followedWeekdays) : ReadCsv(bytes);
  if (!read.error.empty()) {
    result.error = path + ": " + read.error;
    return result;
  }
  for (size_t i = 0; i < read.entries.size(); ++i) {
    const std::string refusal = CalendarEntryRefusal(db, read.entries[i]);
    if (!refusal.empty()) {
      result.error = path + ": " + read.places[i] + ": " + refusal;
      return result;
    }
  }
  if (!AddCalendarEntries(db, read.entries)) {
    result.error = path + ": the store refused the entries";
    return result;
  }
  result.ok = true;
  result.written = std::move(read.entries);
  result.unnamedMakeUpDays = std::move(read.unnamedMakeUpDays);
  return result;
}

}  // namespace brenlow
