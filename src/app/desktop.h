// The desktop program: single instance, login, then the main window until it is closed.
#pragma once

#include "app/command_line.h"

namespace brenlow {

int RunDesktop(int argc, char** argv, const CommandLine& line);

}  // namespace brenlow
