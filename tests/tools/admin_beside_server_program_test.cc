// brenlow-admin beside the real headless server: what the tool writes is what the server
// answers, and a restore while it runs is served from the next request on.
#include <gtest/gtest.h>

#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::AdminRun;
using testing::Program;
using testing::RunAdmin;
using testing::TempDatabase;
using testing::ToolPath;

// What brenlow-terminal prints for a class-name request from a PC with this address.
std::string ClassNameFor(const std::string& macAddress) {
  Program tool(ToolPath("brenlow-terminal"), {"--mac", macAddress, "class-name"});
  EXPECT_NE(tool.wait(10s), 2) << "not served: " << tool.errors();
  return tool.output();
}

TEST(AdminBesideServerProgram, ClassesAddedAndARestoreAreServedAtOnce) {
  TempDatabase store;
  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());

  AdminRun added =
      RunAdmin(store.path(), {"class", "add", "一班", "10.0.0.5", "AA-01-02-03-04-05", "pw"});
  ASSERT_EQ(added.code, 0) << added.errors;
  EXPECT_EQ(ClassNameFor("AA-01-02-03-04-05"), "class name: 一班\n");

  const std::string copy = store.folder() + "/copy.db";
  ASSERT_EQ(RunAdmin(store.path(), {"backup", copy}).code, 0);
  ASSERT_EQ(
      RunAdmin(store.path(), {"class", "add", "二班", "10.0.0.6", "BB-02-03-04-05-06", "pw"}).code,
      0);
  EXPECT_EQ(ClassNameFor("BB-02-03-04-05-06"), "class name: 二班\n");

  AdminRun restored = RunAdmin(store.path(), {"restore", copy});
  ASSERT_EQ(restored.code, 0) << restored.errors;
  EXPECT_EQ(ClassNameFor("BB-02-03-04-05-06"), "no answer\n");
  EXPECT_EQ(ClassNameFor("AA-01-02-03-04-05"), "class name: 一班\n");
  AdminRun check = RunAdmin(store.path(), {"check"});
  EXPECT_EQ(check.code, 0) << check.output << check.errors;
  EXPECT_EQ(check.output, "ok\n");

  EXPECT_EQ(server.stop(10s), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
