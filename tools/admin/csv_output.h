// CSV written for the office: the encoding a spreadsheet on a Chinese Windows PC opens
// correctly. UTF-8 with a byte-order mark by default when the output goes to a file or a pipe
// (that is where a spreadsheet will read it), plain UTF-8 on a terminal; code page 936 (GBK,
// with GB18030's four-byte forms for what GBK lacks) on request.
#pragma once

#include <CLI/CLI.hpp>

#include "text_table.h"

namespace brenlow::admin {

enum class CsvEncoding { kByOutput, kUtf8, kUtf8Bom, kGbk };

// --encoding utf-8|utf-8-bom|gbk on command, into encoding.
void AddEncodingOption(CLI::App* command, CsvEncoding* encoding);

// Writes the header and rows as CSV to stdout in the encoding. Bytes of stored texts that are
// not UTF-8 are written as U+FFFD.
void WriteCsvOutput(const TextRow& header, const std::vector<TextRow>& rows, CsvEncoding encoding);

}  // namespace brenlow::admin
