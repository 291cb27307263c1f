// The operator's account: one user name and one password, kept lightly scrambled in the
// credentials file (section "Pass", keys "UseName" and "PassWord"; where it lives:
// credentials_location.h).
//
// Scrambling shifts every character code by a per-field offset and keeps the low 8 bits; the
// bytes are text in the narrow code page. We take Latin-1 as that code page: every byte is
// exactly one character and back, so any byte a file holds unscrambles to the character that
// was scrambled into it (a multi-byte code page would fuse two high bytes into one character and
// lose both). Plain characters beyond U+00FF cannot survive the 8 bits.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace brenlow {

inline constexpr int kUserNameOffset = 29;
inline constexpr int kPassWordOffset = 37;
// Scrambled and plain texts hold at most this many characters.
inline constexpr int kMaxCredentialLength = 39;
// Values are read with room for this many characters; the rest of a longer value is dropped.
inline constexpr int kCredentialValueCapacity = 259;
// A file holding this as both stored values admits any non-empty user name and password.
inline constexpr const char* kBootstrapCredential = "586";

inline constexpr const char* kCredentialsSection = "Pass";
inline constexpr const char* kUserNameKey = "UseName";
inline constexpr const char* kPassWordKey = "PassWord";

// Read once at start-up, then only read (user-interface thread).
struct Credentials {
  QString storedUserName;  // "UseName" exactly as read, still scrambled
  QString storedPassWord;  // "PassWord" exactly as read, still scrambled
  std::string filePath;    // the credentials file, written again by CModifyPassWord
  // Why the file was not read although something is there (a link, a FIFO, no permission);
  // empty when it was read or is missing. The stored texts are then empty.
  std::string problem;
};

// nullopt for a text longer than kMaxCredentialLength.
std::optional<QString> ScrambleText(const QString& plain, int offset);
std::optional<QString> UnscrambleText(const QString& stored, int offset);

// True when plain, scrambled with offset, written into the file and read back, unscrambles to
// plain again: at most kMaxCredentialLength characters, each up to U+00FF, and no scrambled
// byte that the file cannot hold (NUL, CR, LF, blanks at either end, a pair of enclosing quotes).
bool SurvivesStoring(const QString& plain, int offset);

// The running executable's full path, symbolic links resolved; empty when it cannot be found.
std::string ExecutablePath();

// The executable's path with its extension (the last '.' of the file name and what follows)
// replaced by ".ini"; a name without an extension gets ".ini" appended.
std::string CredentialsFilePath(const std::string& executablePath);

// Reads both keys of the file at filePath; a missing file, section or key reads empty. Only a
// regular file is read (never through a link, never waiting on a FIFO): anything else is
// reported in problem.
Credentials LoadCredentials(const std::string& filePath);

// Writes "UseName" and "PassWord" (both already scrambled) in one replacement of the whole file:
// afterwards the file holds both new values, or after a failure (false, *error saying why) the
// old ones.
bool WriteCredentials(const std::string& filePath, const QString& storedUserName,
                      const QString& storedPassWord, std::string* error = nullptr);

// Shown by a desktop program that finds no credentials set, so no login could ever pass.
inline constexpr const char* kNoCredentialsText =
    "尚未设置用户名和密码：请运行 brenlow --set-credentials";

// Shown, followed by the reason, by a desktop program whose credentials file could not be read
// as a regular file.
inline constexpr const char* kUnreadableCredentialsText = "无法读取用户名和密码文件：";

}  // namespace brenlow
