// Initialisation files in the common text form: bracketed section names, each followed by lines
// "key=value". The credentials file is one of them, and a file written by the program that ran
// before this one must read the same, so the rules are that program's:
//
// - The file is bytes, not text in any encoding: a value is the bytes after '=' exactly, bytes
//   0x80 and above included, and every line this code does not change is written back byte for
//   byte (other sections, other keys, comments, blank lines, odd lines).
// - Lines end with LF or CR LF; a new line written into a file takes the end its first line has.
// - Section and key names compare without regard to ASCII letter case; blanks and tabs around a
//   section name, a key and a value are not part of them; a value wrapped in a pair of matching
//   quotes (" or ') reads without them. Lines starting with ';' are comments. The first section
//   of a name and the first key of a name in it count.
//
// Plain functions, safe on any thread; nothing is kept between calls.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brenlow {

// The value of key in section of a file's contents, or nullopt when the section or key is
// missing.
std::optional<std::string> FindIniValue(std::string_view contents, std::string_view section,
                                        std::string_view key);

// The contents with key in section set to value: the first such key line is replaced, or the key
// is added after the last non-blank line of the section, or the section is added at the end.
// value must hold no CR, LF or NUL byte (it could not be read back).
std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value);

// The value of key in section of the file at path; the empty text when the file, the section or
// the key is missing or the file cannot be read. Only a regular file is read (regular_file.h).
std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key);

// Sets every key of values in section of the file at path, creating the file when it does not
// exist, in one write that replaces the file whole (see ReplaceFileWhole): afterwards the file
// holds all the new values or, after a failure, exactly what it held before. False, with *error
// (when given) saying why, when a value cannot be stored (CR, LF, NUL), an existing file cannot
// be read or is no regular file (a link, a FIFO, a device), or writing fails.
bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string_view, std::string_view>>& values,
                    std::string* error = nullptr);

// WriteIniValues with one key.
bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error = nullptr);

}  // namespace brenlow
