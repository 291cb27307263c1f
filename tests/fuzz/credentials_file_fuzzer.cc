// Any bytes as the credentials file. Reading it through the file takes exactly what the
// section's keys hold (Latin-1, cut to the value room); unscrambling never fails for a value
// of the allowed length; and setting one key in such a file leaves the other key reading the
// same, and the set key reading back what was set.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "credentials/credentials.h"
#include "credentials/ini_file.h"

namespace {

const std::string& FilePath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/brenlow-fuzz-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/brenlow.ini";
  }();
  return path;
}

QString Expected(std::string_view contents, const char* key) {
  std::string value =
      brenlow::FindIniValue(contents, brenlow::kCredentialsSection, key).value_or("");
  if (value.size() > brenlow::kCredentialValueCapacity)
    value.resize(brenlow::kCredentialValueCapacity);
  return QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  std::string_view contents(reinterpret_cast<const char*>(data), size);
  // A new file each time: rewriting one in place makes ext4 flush it at every close.
  ::unlink(FilePath().c_str());
  FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
    abort();

  Credentials credentials = LoadCredentials(FilePath());
  if (credentials.storedUserName != Expected(contents, kUserNameKey) ||
      credentials.storedPassWord != Expected(contents, kPassWordKey)) {
    abort();
  }
  for (const QString* stored : {&credentials.storedUserName, &credentials.storedPassWord}) {
    std::optional<QString> plain = UnscrambleText(*stored, kPassWordOffset);
    if (plain.has_value() != (stored->size() <= kMaxCredentialLength))
      abort();
    if (plain && ScrambleText(*plain, kPassWordOffset) != *stored)
      abort();
  }

  // What changing the user name does to the file.
  const std::string name = "y{|n";
  std::string changed = SetIniValue(contents, kCredentialsSection, kUserNameKey, name);
  if (FindIniValue(changed, kCredentialsSection, kUserNameKey) != name)
    abort();
  if (FindIniValue(changed, kCredentialsSection, kPassWordKey) !=
      FindIniValue(contents, kCredentialsSection, kPassWordKey)) {
    abort();
  }
  return 0;
}
