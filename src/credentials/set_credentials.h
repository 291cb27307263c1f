// brenlow --set-credentials: sets the desktop login's user name and password from a shell,
// without a display. On a terminal it asks for the user name, then twice for the password
// without echo; otherwise it reads two lines from standard input (user name, then password), so
// that scripts can set them. The texts pass the rules of "修改密码" and are written scrambled in
// one replacement of the whole credentials file.
#pragma once

#include <string>

namespace brenlow {

// Runs the exchange on standard input and standard error; returns the exit code (0 written,
// 1 refused or not written).
int RunSetCredentials(const std::string& filePath);

}  // namespace brenlow
