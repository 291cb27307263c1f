#include "tools/terminal/terminal_command.h"

#include <gtest/gtest.h>

#include "terminals/client_records.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

// A request line: which port and kind it asks, from which hardware addresses, how long it waits.
TEST(TerminalCommand, ARequestLineNamesItsPortKindAddressesAndWait) {
  struct Case {
    std::vector<std::string> arguments;
    std::string request;
    std::string host;
    uint16_t port;
    std::vector<std::string> addresses;
    int32_t kind;
    bool clientPort, answered;
    size_t size;
    int quietMs;
  };
  const Case cases[] = {
      {{"periods"}, "periods", "127.0.0.1", 64124, {}, kPeriodsKind, false, true, 100, 500},
      {{"--host", "10.0.0.9", "--port", "65535", "--port", "1", "--wait", "600000", "--mac", "A",
        "--mac", "", "--mac", "0123456789012345678901234567890", "class-name"},
       "class-name",
       "10.0.0.9",
       1,
       {"A", "", "0123456789012345678901234567890"},
       kClassNameKind,
       false,
       true,
       100,
       600000},
      {{"--port", "005", "--wait", "1", "courses"},
       "courses",
       "127.0.0.1",
       5,
       {},
       kCoursesKind,
       false,
       true,
       100,
       1},
      {{"password"}, "password", "127.0.0.1", 64124, {}, kPasswordKind, false, true, 100, 500},
      {{"teachers"}, "teachers", "127.0.0.1", 62124, {}, kTeacherListKind, true, true, 100, 500},
      // Fields after the request are taken as they stand, even when they look like options.
      {{"edit-period", "一班", "星期一", "-1", "8", "0", "8", "45", "--help", "-2147483648", "0"},
       "edit-period",
       "127.0.0.1",
       62124,
       {},
       kPeriodEditKind,
       true,
       false,
       kPeriodEditRequestSize,
       500},
      {{"--mac", "B", "edit-course", "一班", "2147483647", "-x", "", "", "", "--port"},
       "edit-course",
       "127.0.0.1",
       62124,
       {"B"},
       kCourseEditKind,
       true,
       false,
       kCourseEditRequestSize,
       500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    TerminalCommand command = ParseTerminalCommand(c.arguments);
    ASSERT_EQ(command.error, "");
    EXPECT_FALSE(command.help);
    EXPECT_EQ(command.host, c.host);
    EXPECT_EQ(command.port, c.port);
    EXPECT_EQ(command.addresses, c.addresses);
    EXPECT_EQ(command.request, c.request);
    EXPECT_EQ(command.kind, c.kind);
    EXPECT_EQ(command.clientPort, c.clientPort);
    EXPECT_EQ(command.answered, c.answered);
    EXPECT_EQ(command.bytes.size(), c.size);
    EXPECT_EQ(command.quiet.count(), c.quietMs);
    std::optional<TerminalRequest> header = ParseTerminalRequest(command.bytes);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->kind, c.kind);
    for (size_t slot = 0; slot < kAddressSlotCount; ++slot)
      EXPECT_EQ(header->slots[slot], slot < c.addresses.size() ? c.addresses[slot] : "");
  }
}

// A refused line names its first fault; help wins over everything before a fault.
TEST(TerminalCommand, ARefusedLineNamesItsFirstFault) {
  struct Case {
    std::vector<std::string> arguments;
    std::string error;
  };
  const Case cases[] = {
      {{}, "no request given"},
      {{"--wait", "10"}, "no request given"},
      {{"timetable"}, "unknown request: timetable"},
      {{"periods", "extra"}, "periods takes 0 fields, not 1"},
      {{"periods", "--help"}, "periods takes 0 fields, not 1"},
      {{"edit-course", "一班", "0"}, "edit-course takes 7 fields, not 2"},
      {{"edit-period", "一班", "星期一", "x", "8", "0", "8", "45", "t", "0", "0"},
       "ROW must be an integer: x"},
      {{"edit-period", "一班", "星期一", "0", "8", "0", "8", "45", "t", "99999999999", "0"},
       "AUTO_ON must be an integer: 99999999999"},
      {{"edit-course", "一班", "1", "", "", "", "", std::string(50, 'x')},
       "FRIDAY has at most 49 characters: " + std::string(50, 'x')},
      {{"--bogus"}, "unknown option: --bogus"},
      {{"-x", "periods"}, "unknown option: -x"},
      {{"-1", "periods"}, "unknown option: -1"},
      {{"-hx"}, "unknown option: -hx"},
      {{"--host=x", "periods"}, "unknown option: --host=x"},
      {{"--bogus", "--port", "0"}, "unknown option: --bogus"},
      {{"--port", "0", "--bogus"}, "--port needs a port number: 0"},
      {{"--port", "70000", "periods"}, "--port needs a port number: 70000"},
      {{"--port", "+5", "periods"}, "--port needs a port number: +5"},
      {{"--port", "1e3", "periods"}, "--port needs a port number: 1e3"},
      {{"--port", "", "periods"}, "--port needs a port number: "},
      {{"--wait", "0", "periods"}, "--wait needs milliseconds: 0"},
      {{"--wait", "600001", "periods"}, "--wait needs milliseconds: 600001"},
      {{"--mac", "a", "--mac", "b", "--mac", "c", "--mac", "d", "periods"},
       "at most three hardware addresses"},
      {{"--mac", std::string(32, 'a'), "periods"},
       "a hardware address has at most 31 bytes: " + std::string(32, 'a')},
      {{"periods", "--mac"}, "periods takes 0 fields, not 1"},
      {{"--mac"}, "--mac needs a value"},
      {{"--host"}, "--host needs a value"},
      {{"--wait"}, "--wait needs a value"},
      {{"--port"}, "--port needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    TerminalCommand command = ParseTerminalCommand(c.arguments);
    EXPECT_EQ(command.error, c.error);
    EXPECT_FALSE(command.help);
  }
  for (const std::vector<std::string>& help :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"-h", "periods"},
                                             {"--port", "9", "--help", "timetable"},
                                             {"--help", "--bogus"}}) {
    EXPECT_TRUE(ParseTerminalCommand(help).help) << ::testing::PrintToString(help);
  }
  EXPECT_FALSE(ParseTerminalCommand({"--bogus", "--help"}).help);
}

}  // namespace
}  // namespace brenlow
