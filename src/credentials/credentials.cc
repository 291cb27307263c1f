#include "credentials/credentials.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

#include "credentials/ini_file.h"
#include "credentials/regular_file.h"

namespace brenlow {
namespace {

// Each character code shifted by delta, low 8 bits kept, as a Latin-1 character.
std::optional<QString> Shift(const QString& text, int delta) {
  if (text.size() > kMaxCredentialLength)
    return std::nullopt;
  QString shifted;
  shifted.reserve(text.size());
  for (QChar character : text) {
    shifted.append(QChar(static_cast<char16_t>((character.unicode() + delta) & 0xFF)));
  }
  return shifted;
}

std::string Bytes(const QString& latin1) {
  QByteArray bytes = latin1.toLatin1();
  return std::string(bytes.constData(), bytes.size());
}

QString ReadValue(std::string_view contents, const char* key) {
  std::string value = FindIniValue(contents, kCredentialsSection, key).value_or(std::string());
  if (value.size() > kCredentialValueCapacity)
    value.resize(kCredentialValueCapacity);
  return QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

std::optional<QString> ScrambleText(const QString& plain, int offset) {
  return Shift(plain, offset);
}

std::optional<QString> UnscrambleText(const QString& stored, int offset) {
  return Shift(stored, -offset);
}

bool SurvivesStoring(const QString& plain, int offset) {
  std::optional<QString> stored = ScrambleText(plain, offset);
  if (!stored)
    return false;
  std::string bytes = Bytes(*stored);
  if (bytes.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
    return false;
  std::optional<std::string> readBack = FindIniValue(
      SetIniValue("", kCredentialsSection, kUserNameKey, bytes), kCredentialsSection, kUserNameKey);
  if (!readBack || *readBack != bytes)
    return false;
  std::optional<QString> unscrambled = UnscrambleText(
      QString::fromLatin1(readBack->data(), static_cast<qsizetype>(readBack->size())), offset);
  return unscrambled && *unscrambled == plain;
}

std::string ExecutablePath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error)
    return path.string();
  if (QCoreApplication::instance() != nullptr) {
    return QCoreApplication::applicationFilePath().toStdString();
  }
  return {};
}

std::string CredentialsFilePath(const std::string& executablePath) {
  size_t nameStart = executablePath.find_last_of('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = executablePath.find_last_of('.');
  // A dot in a folder name, or a name that only starts with a dot, is no extension.
  if (dot == std::string::npos || dot <= nameStart)
    return executablePath + ".ini";
  return executablePath.substr(0, dot) + ".ini";
}

Credentials LoadCredentials(const std::string& filePath) {
  Credentials credentials;
  credentials.filePath = filePath;
  std::string contents;
  if (ReadRegularFile(filePath, &contents, &credentials.problem) != RegularFileRead::kRefused)
    credentials.problem.clear();
  credentials.storedUserName = ReadValue(contents, kUserNameKey);
  credentials.storedPassWord = ReadValue(contents, kPassWordKey);
  return credentials;
}

bool WriteCredentials(const std::string& filePath, const QString& storedUserName,
                      const QString& storedPassWord, std::string* error) {
  std::string userName = Bytes(storedUserName);
  std::string passWord = Bytes(storedPassWord);
  return WriteIniValues(filePath, kCredentialsSection,
                        {{kUserNameKey, userName}, {kPassWordKey, passWord}}, error);
}

}  // namespace brenlow
