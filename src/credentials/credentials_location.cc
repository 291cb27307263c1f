#include "credentials/credentials_location.h"

#include <filesystem>
#include <system_error>

#include "credentials/credentials.h"

namespace brenlow {

namespace {

// The folder without a trailing separator, "." and ".." resolved.
std::filesystem::path Folder(const std::filesystem::path& folder) {
  std::filesystem::path normal = folder.lexically_normal();
  return normal.has_filename() ? normal : normal.parent_path();
}

}  // namespace

std::string CredentialsFileFor(const std::string& executablePath, const std::string& installBinDir,
                               const std::string& installedFile) {
  if (!installBinDir.empty() &&
      Folder(std::filesystem::path(executablePath).parent_path()) == Folder(installBinDir)) {
    return installedFile;
  }
  return CredentialsFilePath(executablePath);
}

std::string InstalledCredentialsFile() {
  return BRENLOW_INSTALLED_CREDENTIALS;
}

std::string CredentialsFileOfThisProgram(const std::string& overridePath) {
  if (!overridePath.empty())
    return overridePath;
  // The executable's path has its links resolved; so must the folder it is compared with
  // (on a merged /usr, /bin/brenlow is /usr/bin/brenlow).
  std::error_code error;
  std::filesystem::path binDir = std::filesystem::weakly_canonical(BRENLOW_INSTALL_BINDIR, error);
  return CredentialsFileFor(ExecutablePath(), error ? BRENLOW_INSTALL_BINDIR : binDir.string(),
                            BRENLOW_INSTALLED_CREDENTIALS);
}

}  // namespace brenlow
