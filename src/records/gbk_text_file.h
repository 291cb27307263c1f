// Code page 936 (GBK) text files, the format of every CSV file the system reads or writes.
//
// Reading takes a whole file and gives its lines as UTF-8: a line ends at LF, with an optional
// CR before it (CR LF and LF both end a line); a last line without a line end still counts, a
// file ending in a line end has no empty line after it. Bytes are decoded as GBK; four-byte
// GB18030 sequences are accepted as well, so that a file this program wrote reads back
// unchanged. A file that begins with the UTF-8 byte-order mark (what spreadsheet programs save
// as "CSV UTF-8") is read as UTF-8 instead, without the mark, and so is a file without the mark
// that is valid UTF-8 throughout and holds text beyond ASCII (what a Linux editor saves). A
// byte sequence that is not text of the file's encoding stops the reading and is reported with
// its line and position. A file over kMaxTextFileBytes, a line over kMaxTextLineBytes or a NUL
// byte anywhere refuses the whole file (nothing after the limit is read).
//
// Writing takes UTF-8 lines and writes each as GBK followed by CR LF. A character that GBK
// cannot hold is written in its four-byte GB18030 form, which keeps every character (GB18030
// is identical to GBK for all others); the result counts those characters.
//
// Both are plain functions on one file, safe to call from any thread; nothing is kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/store.h"

namespace brenlow {

inline constexpr size_t kMaxTextFileBytes = 16 * 1024 * 1024;
inline constexpr size_t kMaxTextLineBytes = 4 * 1024;

enum class GbkReadStatus {
  kOk,
  kCannotOpen,   // the file does not exist or cannot be read
  kUndecodable,  // a byte sequence is not text of the file's encoding
  kRefused,      // too large, a line too long, a NUL byte; no lines
};

struct GbkReadResult {
  GbkReadStatus status = GbkReadStatus::kOk;
  // The decoded lines, without their line ends. On kUndecodable the lines before the faulty
  // one; on kCannotOpen empty.
  std::vector<std::string> lines;
  // On kUndecodable: the 1-based line and the 1-based byte position within that line of the
  // first byte that cannot be decoded.
  int errorLine = 0;
  int errorByte = 0;
  // A sentence for the user (Chinese, like the rest of the interface) saying what went wrong
  // and where; empty on kOk.
  std::string errorText;
  // The encoding read, for the summary: "GBK", "UTF-8" or "UTF-8（带 BOM）".
  std::string encoding;
};

GbkReadResult ReadGbkLines(const std::string& path);

struct GbkWriteResult {
  bool ok = false;
  // Characters written in their four-byte GB18030 form because GBK has no code for them.
  int gb18030Characters = 0;
  // Why the file could not be written (empty when ok).
  std::string errorText;
};

// Writes the file whole (data/output_file.h: a new file renamed into place, never wider than
// the database's mode, never onto the database or its companion files). Lines must be valid
// UTF-8.
// The store names the database beside which the file is written.
GbkWriteResult WriteGbkLines(const Store& store, const std::string& path,
                             const std::vector<std::string>& lines);

// Decodes one line's GBK bytes (no line end in them). On failure returns false and sets
// badOffset to the 0-based position of the first byte that cannot be decoded.
bool DecodeGbk(std::string_view bytes, std::string& utf8, size_t& badOffset);

// Encodes UTF-8 text as GBK, with GB18030 four-byte forms for what GBK cannot hold, counted in
// gb18030Characters. Returns false only for text that is not valid UTF-8.
bool EncodeGbk(std::string_view utf8, std::string& bytes, int& gb18030Characters);

// The fields of one CSV line: split at every comma, no quoting, nothing trimmed. A line without
// a comma is one field; "" is one empty field; "a," is "a" and "".
std::vector<std::string> SplitCsvFields(std::string_view line);

}  // namespace brenlow
