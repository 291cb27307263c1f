// Output of brenlow-admin: text tables aligned by display width, CSV and JSON text. Stored
// values are shown as they may be shown to a person (core/shown_text.h): in tables and CSV with
// control characters escaped and undecodable bytes replaced by U+FFFD; in JSON escaped as JSON
// escapes them, undecodable bytes replaced as well, so that no stored value ends a command.
//
// Display width is taken from a table of East Asian wide and fullwidth characters (two columns)
// and combining marks (none), not from the C library's wcwidth, which knows no width under the
// "C" locale that systemd and cron give a program. Texts are UTF-8.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace brenlow::admin {

// Columns a terminal gives the text.
int DisplayWidth(std::string_view utf8);

using TextRow = std::vector<std::string>;

// Writes the header and the rows, each cell padded to its column's widest cell and separated
// by two blanks; trailing blanks are left off.
void WriteTextTable(std::ostream& out, const TextRow& header, const std::vector<TextRow>& rows);

// Writes the header and the rows as CSV (RFC 4180: a field with a comma, a quote or a line
// break is quoted, quotes doubled), lines ended by LF.
void WriteCsv(std::ostream& out, const TextRow& header, const std::vector<TextRow>& rows);

// Writes value indented by two, then a line end. Bytes that are not UTF-8 become U+FFFD, so that
// a stored value never makes the output fail.
void WriteJson(std::ostream& out, const nlohmann::ordered_json& value);

// value on one line, bytes that are not UTF-8 as U+FFFD (a JSON text inside a table cell).
std::string JsonLine(const nlohmann::ordered_json& value);

}  // namespace brenlow::admin
