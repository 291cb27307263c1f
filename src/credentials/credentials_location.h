// Where the credentials file lives. An installed program (its executable in the install
// prefix's bin folder, /usr/bin for the package) keeps it in the configuration folder,
// /etc/brenlow/brenlow.ini, which the group brenlow may write: nothing is written under /usr.
// A program run from anywhere else (its build folder, say) keeps it beside the executable, its
// path with ".ini" in place of its extension. --credentials PATH overrides both.
#pragma once

#include <string>

namespace brenlow {

// The rule above for an executable at executablePath, given the install prefix's bin folder and
// the installed program's file. Paths are compared as they are; pass resolved paths.
std::string CredentialsFileFor(const std::string& executablePath, const std::string& installBinDir,
                               const std::string& installedFile);

// The installed program's credentials file (/etc/brenlow/brenlow.ini for the package).
std::string InstalledCredentialsFile();

// The credentials file of this process: overridePath when it is not empty, otherwise the rule
// above for the running executable and the folders this build installs to.
std::string CredentialsFileOfThisProgram(const std::string& overridePath);

}  // namespace brenlow
