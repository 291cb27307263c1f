#include "csv_output.h"

#include <unistd.h>

#include <iostream>
#include <map>
#include <sstream>

#include "records/gbk_text_file.h"

namespace brenlow::admin {
namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence at the start of text, 0 when none is there.
size_t SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80                   ? 1
                  : lead >= 0xC2 && lead < 0xE0 ? 2
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                : 0;
  if (length == 0 || length > text.size())
    return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
      return 0;
  }
  const auto second = static_cast<unsigned char>(length > 1 ? text[1] : 0);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
    return 0;  // overlong forms, surrogates, beyond U+10FFFF
  return length;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  while (!text.empty()) {
    const size_t length = SequenceLength(text);
    if (length == 0) {
      valid += "\xEF\xBF\xBD";
      text.remove_prefix(1);
    } else {
      valid.append(text.substr(0, length));
      text.remove_prefix(length);
    }
  }
  return valid;
}

}  // namespace

void AddEncodingOption(CLI::App* command, CsvEncoding* encoding) {
  const std::map<std::string, CsvEncoding> encodings = {{"utf-8", CsvEncoding::kUtf8},
                                                        {"utf-8-bom", CsvEncoding::kUtf8Bom},
                                                        {"gbk", CsvEncoding::kGbk}};
  command
      ->add_option("--encoding", *encoding,
                   "encoding of CSV output: utf-8, utf-8-bom or gbk (default: utf-8-bom into a "
                   "file or a pipe, utf-8 on a terminal)")
      ->transform(CLI::CheckedTransformer(encodings))
      ->option_text("utf-8|utf-8-bom|gbk");
}

void WriteCsvOutput(const TextRow& header, const std::vector<TextRow>& rows, CsvEncoding encoding) {
  std::ostringstream csv;
  WriteCsv(csv, header, rows);
  const std::string text = ValidUtf8(csv.str());
  if (encoding == CsvEncoding::kByOutput)
    encoding = isatty(STDOUT_FILENO) ? CsvEncoding::kUtf8 : CsvEncoding::kUtf8Bom;
  switch (encoding) {
    case CsvEncoding::kGbk: {
      std::string bytes;
      int gb18030Characters = 0;
      EncodeGbk(text, bytes, gb18030Characters);
      std::cout << bytes;
      break;
    }
    case CsvEncoding::kUtf8Bom:
      std::cout << kByteOrderMark << text;
      break;
    case CsvEncoding::kUtf8:
    case CsvEncoding::kByOutput:
      std::cout << text;
      break;
  }
}

}  // namespace brenlow::admin
