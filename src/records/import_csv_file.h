// The two CSV files of the timetable import, read whole and checked before anything is
// written, so that a faulty file changes nothing.
//
// The file is code page 936 text, or UTF-8 after a byte-order mark (see gbk_text_file.h for line
// ends and decoding). Its first line must equal the header exactly. Every further non-empty line
// is one record, split at every comma without quoting or trimming: a record gets exactly the
// table's number of fields, missing ones empty and further ones dropped. Empty lines are left
// out. A field holds at most kMaxImportFieldLength UTF-16 code units; a longer one refuses the
// whole file.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace brenlow {

inline constexpr size_t kMaxImportFieldLength = 23;

struct ImportCsvFile {
  enum class Status {
    kOk,
    kCannotOpen,  // the file does not exist or cannot be read
    kFileError,   // empty, wrong header, bytes that are not GBK text, a field too long
  };
  Status status = Status::kOk;
  // On kOk: the records, in file order, each with exactly fieldCount fields (UTF-8).
  std::vector<std::vector<std::string>> records;
  // On kOk: the 1-based file line of each record.
  std::vector<int> lineNumbers;
  // On kFileError: what is wrong and on which line, for the message's detail text.
  std::string detail;
  // On kOk: the encoding read (gbk_text_file.h).
  std::string encoding;
};

// Reads the file at path. Only the first maxRecords records are read and checked; the rest of
// the file is not looked at.
ImportCsvFile ReadImportCsvFile(const std::string& path, std::string_view header, size_t fieldCount,
                                size_t maxRecords = std::numeric_limits<size_t>::max());

}  // namespace brenlow
