// A test's own database and the real brenlow-admin run on it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow::testing {

class AdminFixture : public ::testing::Test {
 protected:
  // Under systemd and cron a program gets the "C" locale: widths must come out right there.
  void SetUp() override { setenv("LC_ALL", "C", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }

  AdminRun run(std::vector<std::string> arguments) {
    return testing::RunAdmin(store_.path(), std::move(arguments));
  }
  // Runs a command that must succeed.
  std::string ok(std::vector<std::string> arguments) {
    AdminRun result = run(arguments);
    EXPECT_EQ(result.code, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    return result.output;
  }
  // Runs a command that must be refused with exit 1 and one line on stderr holding `part`.
  void refused(std::vector<std::string> arguments, const std::string& part) {
    AdminRun result = run(arguments);
    EXPECT_EQ(result.code, 1) << arguments[0] << ": " << result.errors;
    EXPECT_NE(result.errors.find(part), std::string::npos) << result.errors;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
  }
  std::string file(const std::string& name, const std::string& bytes) {
    std::string path = store_.folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  TempDatabase store_;
};

}  // namespace brenlow::testing
