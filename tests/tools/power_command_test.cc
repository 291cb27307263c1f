// brenlow-admin power through the real binary against stand-in controllers and PCs on
// loopback: the scheduler's datagrams to the named classes only, logged and recorded with
// reason admin, and a refusal naming a class that does not exist.
#include <gtest/gtest.h>

#include "net/ports.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::CommandCapture;
using testing::LoopbackAddress;
using testing::Quote;
using testing::RunAdmin;
using testing::TempDatabase;
using Sent = std::vector<std::string>;

constexpr const char* kPowerOn = "EB 00 01 01 00 A0 07 ED";
constexpr const char* kPowerOff = "EB 00 01 01 00 A1 07 ED";
constexpr const char* kShutdown = "73 68 75 74 64 6F 77";

class PowerCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", LoopbackAddress(1));
    store_.addClass("二班", LoopbackAddress(3));
    store_.addClass("三班", LoopbackAddress(5));
    store_.exec("Update tblbj set PCIP=" + Quote(LoopbackAddress(2)) + " where Name='一班'");
    store_.exec("Update tblbj set PCIP=" + Quote(LoopbackAddress(4)) + " where Name='二班'");
  }

  TempDatabase store_;
  CommandCapture controller1_{LoopbackAddress(1), kControllerPort};
  CommandCapture pc1_{LoopbackAddress(2), kPcShutdownPort};
  CommandCapture controller2_{LoopbackAddress(3), kControllerPort};
  CommandCapture pc2_{LoopbackAddress(4), kPcShutdownPort};
  CommandCapture controller3_{LoopbackAddress(5), kControllerPort};
};

TEST_F(PowerCommand, SendsTheSchedulersDatagramsToTheNamedClassesOnly) {
  testing::AdminRun off = RunAdmin(store_.path(), {"power", "off", "一班", "二班"});
  EXPECT_EQ(off.code, 0) << off.errors;
  EXPECT_EQ(pc1_.taken(), Sent{kShutdown});
  EXPECT_EQ(controller1_.taken(), Sent{kPowerOff});
  EXPECT_EQ(pc2_.taken(), Sent{kShutdown});
  EXPECT_EQ(controller2_.taken(), Sent{kPowerOff});
  EXPECT_EQ(controller3_.taken(), Sent{});
  EXPECT_NE(off.errors.find("brenlow: command power-off class=二班 to=" + LoopbackAddress(3) +
                            ":20108 reason=admin\n"),
            std::string::npos)
      << off.errors;

  EXPECT_EQ(RunAdmin(store_.path(), {"power", "on", "三班"}).code, 0);
  EXPECT_EQ(controller3_.taken(), Sent{kPowerOn});
  EXPECT_EQ(controller1_.taken(), Sent{});

  EXPECT_EQ(store_.column("select class||' '||command||' '||port||' '||reason from tbl_events "
                          "where kind='command' Order by ID"),
            (std::vector<std::string>{"一班 pc-shutdown 60123 admin", "一班 power-off 20108 admin",
                                      "二班 pc-shutdown 60123 admin", "二班 power-off 20108 admin",
                                      "三班 power-on 20108 admin"}));
}

TEST_F(PowerCommand, AnUnknownClassIsNamedAndTheOthersAreStillSent) {
  testing::AdminRun run = RunAdmin(store_.path(), {"power", "on", "九班", "一班"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.errors.find("brenlow-admin: power: 九班: no such class\n"), std::string::npos)
      << run.errors;
  EXPECT_EQ(controller1_.taken(), Sent{kPowerOn});

  // A controller whose address names no host: the send fails and is named.
  store_.exec("Update tblbj set ZKIP='no-such-host.invalid' where Name='二班'");
  run = RunAdmin(store_.path(), {"power", "on", "二班", "三班"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.errors.find("brenlow-admin: power: 二班: not every command was sent"),
            std::string::npos)
      << run.errors;
  EXPECT_EQ(controller3_.taken(), Sent{kPowerOn});

  for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
           {"power", "toggle", "一班"}, {"power", "on"}, {"power"}}) {
    EXPECT_EQ(RunAdmin(store_.path(), usage).code, 2) << usage.size();
  }
}

}  // namespace
}  // namespace brenlow
