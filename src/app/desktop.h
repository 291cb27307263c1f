// The desktop program: login, then the main window until it is closed. As the server it also
// prepares the store and runs the workers and the minute timer. As an editor (another copy,
// usually the service, holds the single-instance lock) it only edits the same database beside
// that copy: no port, no scheduler, no status reset, no default periods, and its title says so.
//
// Before the login it refuses, with one message, a user who may not open the database and a
// credentials file that holds no credentials (saying how to set them).
#pragma once

#include "app/command_line.h"
#include "data/store.h"

namespace brenlow {

enum class DesktopRole { kServer, kEditor };

// The main window's title in the editor role.
inline constexpr const char* kEditorWindowTitle = "课程表（服务运行中，仅编辑）";

// Runs on store; returns the process's exit code.
int RunDesktop(int argc, char** argv, const CommandLine& line, const Store& store,
               DesktopRole role);

}  // namespace brenlow
