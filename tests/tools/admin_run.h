// Running the real brenlow-admin on a test's database.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "support/program.h"

namespace brenlow::testing {

struct AdminRun {
  int code = -1;
  std::string output;
  std::string errors;
};

inline AdminRun RunAdmin(const std::string& database, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"--database", database});
  Program tool(ToolPath("brenlow-admin"), arguments);
  AdminRun run;
  run.code = tool.wait(std::chrono::seconds(30));
  run.output = tool.output();
  run.errors = tool.errors();
  return run;
}

}  // namespace brenlow::testing
