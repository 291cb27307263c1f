#include "records/gbk_text_file.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/shown_text.h"
#include "data/output_file.h"

namespace brenlow {
namespace {

// One iconv conversion descriptor, closed with its owner.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) {
      iconv_close(handle_);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of input as it can, appending to output. Returns 0 when all of it was
  // converted, otherwise the errno that stopped it (EILSEQ, EINVAL); consumed says how many
  // bytes of input were converted.
  int convert(std::string_view input, std::string& output, size_t& consumed) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[512];
    int result = 0;
    while (inLeft > 0) {
      char* out = buffer;
      size_t outLeft = sizeof buffer;
      size_t done = iconv(handle_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<size_t>(out - buffer));
      if (done == static_cast<size_t>(-1) && errno != E2BIG) {
        result = errno;
        break;
      }
    }
    consumed = input.size() - inLeft;
    return result;
  }

 private:
  iconv_t handle_;
};

// A GB18030 four-byte sequence: first and third byte 0x81-0xFE, second and fourth 0x30-0x39.
bool LooksLikeFourByteSequence(std::string_view bytes) {
  auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  return bytes.size() >= 4 && byteAt(0) >= 0x81 && byteAt(0) <= 0xFE && byteAt(1) >= 0x30 &&
         byteAt(1) <= 0x39 && byteAt(2) >= 0x81 && byteAt(2) <= 0xFE && byteAt(3) >= 0x30 &&
         byteAt(3) <= 0x39;
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) {
    return 4;
  }
  if (lead >= 0xE0) {
    return 3;
  }
  if (lead >= 0xC0) {
    return 2;
  }
  return 1;
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string HexBytes(std::string_view bytes) {
  std::string text;
  for (unsigned char byte : bytes) {
    char part[8];
    std::snprintf(part, sizeof part, "%s0x%02X", text.empty() ? "" : " ", byte);
    text += part;
  }
  return text;
}

}  // namespace

bool DecodeGbk(std::string_view bytes, std::string& utf8, size_t& badOffset) {
  Converter gbk("UTF-8", "GBK");
  Converter gb18030("UTF-8", "GB18030");
  if (!gbk.valid() || !gb18030.valid()) {
    badOffset = 0;
    return false;
  }
  size_t position = 0;
  while (position < bytes.size()) {
    size_t consumed = 0;
    int stop = gbk.convert(bytes.substr(position), utf8, consumed);
    position += consumed;
    if (stop == 0) {
      break;
    }
    std::string_view rest = bytes.substr(position);
    size_t fourByteConsumed = 0;
    if (!LooksLikeFourByteSequence(rest) ||
        gb18030.convert(rest.substr(0, 4), utf8, fourByteConsumed) != 0) {
      badOffset = position;
      return false;
    }
    position += 4;
  }
  return true;
}

bool EncodeGbk(std::string_view utf8, std::string& bytes, int& gb18030Characters) {
  Converter gbk("GBK", "UTF-8");
  Converter gb18030("GB18030", "UTF-8");
  if (!gbk.valid() || !gb18030.valid()) {
    return false;
  }
  size_t position = 0;
  while (position < utf8.size()) {
    size_t consumed = 0;
    int stop = gbk.convert(utf8.substr(position), bytes, consumed);
    position += consumed;
    if (stop == 0) {
      break;
    }
    size_t length = Utf8SequenceLength(static_cast<unsigned char>(utf8[position]));
    size_t oneConsumed = 0;
    if (position + length > utf8.size() ||
        gb18030.convert(utf8.substr(position, length), bytes, oneConsumed) != 0) {
      return false;  // not UTF-8
    }
    position += length;
    ++gb18030Characters;
  }
  return true;
}

GbkReadResult ReadGbkLines(const std::string& path) {
  GbkReadResult result;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    result.status = GbkReadStatus::kCannotOpen;
    result.errorText = "无法打开文件 " + path + "：" + std::strerror(errno);
    return result;
  }
  // Read at most one byte beyond the limit: a device or a pipe without end (/dev/zero) is
  // refused once that much has come, never read on.
  std::string content;
  char chunk[65536];
  while (content.size() <= kMaxTextFileBytes && file.read(chunk, sizeof chunk).gcount() > 0)
    content.append(chunk, static_cast<size_t>(file.gcount()));
  if (file.bad()) {
    result.status = GbkReadStatus::kCannotOpen;
    result.errorText = "无法读取文件 " + path;
    return result;
  }
  if (content.size() > kMaxTextFileBytes) {
    result.status = GbkReadStatus::kRefused;
    result.errorText = "文件大于 16 MiB，未读取：" + path;
    return result;
  }
  const bool byteOrderMark = content.compare(0, kUtf8ByteOrderMark.size(), kUtf8ByteOrderMark) == 0;
  // Without a mark, text that is valid UTF-8 and not plain ASCII is UTF-8: GBK text of Chinese
  // names is practically never valid UTF-8 (its trail bytes would have to fall just so in
  // every character).
  const bool utf8 = byteOrderMark || (FirstInvalidUtf8Byte(content) == std::string_view::npos &&
                                      std::any_of(content.begin(), content.end(), [](char c) {
                                        return static_cast<unsigned char>(c) >= 0x80;
                                      }));
  result.encoding = byteOrderMark ? "UTF-8（带 BOM）" : utf8 ? "UTF-8" : "GBK";
  // LF never occurs inside a GBK, GB18030 or UTF-8 character (GBK trail bytes are 0x30-0x39 and
  // 0x40-0xFE, UTF-8 ones 0x80-0xBF), so the raw bytes can be split before decoding.
  size_t start = byteOrderMark ? kUtf8ByteOrderMark.size() : 0;
  int lineNumber = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    size_t next = end == std::string::npos ? content.size() : end + 1;
    std::string_view line(content.data() + start,
                          (end == std::string::npos ? content.size() : end) - start);
    if (end != std::string::npos && !line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    ++lineNumber;
    if (line.size() > kMaxTextLineBytes || line.find('\0') != std::string_view::npos) {
      result.status = GbkReadStatus::kRefused;
      result.errorLine = lineNumber;
      result.errorText = "第 " + std::to_string(lineNumber) + " 行" +
                         (line.size() > kMaxTextLineBytes ? "长于 4 KiB" : "含有 NUL 字符") +
                         "，文件未读取。";
      result.lines.clear();
      return result;
    }
    std::string text;
    size_t badOffset = 0;
    bool decoded = false;
    if (utf8) {
      badOffset = FirstInvalidUtf8Byte(line);
      decoded = badOffset == std::string_view::npos;
      if (decoded)
        text.assign(line);
    } else {
      decoded = DecodeGbk(line, text, badOffset);
    }
    if (!decoded) {
      result.status = GbkReadStatus::kUndecodable;
      result.errorLine = lineNumber;
      result.errorByte = static_cast<int>(badOffset) + 1;
      result.errorText = "第 " + std::to_string(lineNumber) + " 行第 " +
                         std::to_string(badOffset + 1) + " 个字节起（" +
                         HexBytes(line.substr(badOffset, 4)) + "）不是 " +
                         (utf8 ? "UTF-8" : "GBK") + " 编码的文字。";
      return result;
    }
    result.lines.push_back(std::move(text));
    start = next;
  }
  return result;
}

GbkWriteResult WriteGbkLines(const Store& store, const std::string& path,
                             const std::vector<std::string>& lines) {
  GbkWriteResult result;
  std::string bytes;
  for (const std::string& line : lines) {
    if (!EncodeGbk(line, bytes, result.gb18030Characters)) {
      result.errorText = "文字不是有效的 UTF-8：" + line;
      return result;
    }
    bytes += "\r\n";
  }
  std::string error;
  if (!WriteOutputFile(store, path, bytes, &error)) {
    result.errorText = "无法写入文件 " + path + "：" + error;
    return result;
  }
  result.ok = true;
  return result;
}

std::vector<std::string> SplitCsvFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, comma - start));
    start = comma + 1;
  }
}

}  // namespace brenlow
