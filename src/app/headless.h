// The headless server: the desktop program's start-up without windows or login.
#pragma once

#include "app/command_line.h"

namespace brenlow {

// Runs until SIGINT or SIGTERM; returns the process's exit code.
int RunHeadless(int argc, char** argv, const CommandLine& line);

}  // namespace brenlow
