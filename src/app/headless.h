// The headless server: the desktop program's start-up without windows or login.
#pragma once

#include "app/command_line.h"
#include "data/store.h"

namespace brenlow {

// Serves store until SIGINT or SIGTERM; returns the process's exit code.
int RunHeadless(int argc, char** argv, const CommandLine& line, const Store& store);

}  // namespace brenlow
