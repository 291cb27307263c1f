#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/default_database.h"
#include "credentials/credentials_location.h"

namespace brenlow {
namespace {

using Mode = CommandLine::Mode;

// What each argument line means: the mode, the values taken and, for a refused line, the one
// error that names its first fault.
TEST(CommandLine, EachLineMeansOneModeWithItsValuesOrOneError) {
  struct Case {
    std::vector<std::string> arguments;
    Mode mode;
    std::string database, init, listen, credentials;
    size_t connections;
    std::string error;
  };
  const Case cases[] = {
      {{}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, ""},
      {{"--headless", "--database", "/d.db", "--listen", "127.0.0.1"},
       Mode::kHeadless,
       "/d.db",
       "",
       "127.0.0.1",
       "",
       64,
       ""},
      {{"--max-connections-per-address", "100000", "--headless"},
       Mode::kHeadless,
       "",
       "",
       "0.0.0.0",
       "",
       100000,
       ""},
      {{"--max-connections-per-address", "000001"}, Mode::kDesktop, "", "", "0.0.0.0", "", 1, ""},
      {{"--database", "a", "--database", "b"}, Mode::kDesktop, "b", "", "0.0.0.0", "", 64, ""},
      // A value is the next argument whatever it looks like.
      {{"--database", "--headless"}, Mode::kDesktop, "--headless", "", "0.0.0.0", "", 64, ""},
      {{"--init-database", "/n.db", "--headless"},
       Mode::kInitDatabase,
       "",
       "/n.db",
       "0.0.0.0",
       "",
       64,
       ""},
      {{"--headless", "--init-database", "/n.db"},
       Mode::kInitDatabase,
       "",
       "/n.db",
       "0.0.0.0",
       "",
       64,
       ""},
      {{"--init-database", "/n.db", "--set-credentials"},
       Mode::kSetCredentials,
       "",
       "/n.db",
       "0.0.0.0",
       "",
       64,
       ""},
      {{"--set-credentials", "--init-database", "/n.db"},
       Mode::kInitDatabase,
       "",
       "/n.db",
       "0.0.0.0",
       "",
       64,
       ""},
      {{"--set-credentials", "--credentials", "/c.ini"},
       Mode::kSetCredentials,
       "",
       "",
       "0.0.0.0",
       "/c.ini",
       64,
       ""},
      {{"--init-database", "/n.db", "--help"}, Mode::kHelp, "", "/n.db", "0.0.0.0", "", 64, ""},
      {{"-h", "--set-credentials"}, Mode::kHelp, "", "", "0.0.0.0", "", 64, ""},
      // Refused lines.
      {{"--help", "--bogus"}, Mode::kHelp, "", "", "0.0.0.0", "", 64, "unknown argument: --bogus"},
      {{"stray"}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, "unknown argument: stray"},
      {{"-x"}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, "unknown argument: -x"},
      {{"--"}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, "unknown argument: --"},
      {{"--version"}, Mode::kVersion, "", "", "0.0.0.0", "", 64, ""},
      {{"--version", "--bogus"},
       Mode::kVersion,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "unknown argument: --bogus"},
      {{"--database=x"},
       Mode::kDesktop,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "unknown argument: --database=x"},
      {{"-hx"}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, "unknown argument: -hx"},
      {{"--headless", "--database"},
       Mode::kHeadless,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "--database needs a value"},
      {{"--listen", ""}, Mode::kDesktop, "", "", "", "", 64, "--listen needs a value"},
      {{"--credentials"}, Mode::kDesktop, "", "", "0.0.0.0", "", 64, "--credentials needs a value"},
      {{"--init-database"},
       Mode::kInitDatabase,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "--init-database needs a value"},
      {{"--max-connections-per-address"},
       Mode::kDesktop,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "--max-connections-per-address needs a value"},
      {{"--max-connections-per-address", ""},
       Mode::kDesktop,
       "",
       "",
       "0.0.0.0",
       "",
       64,
       "--max-connections-per-address needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    CommandLine line = ParseCommandLine(c.arguments);
    EXPECT_EQ(line.error, c.error);
    if (!c.error.empty())
      continue;
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.databasePath, c.database);
    EXPECT_EQ(line.initDatabasePath, c.init);
    EXPECT_EQ(line.listenAddress, c.listen);
    EXPECT_EQ(line.credentialsPath, c.credentials);
    EXPECT_EQ(line.maxConnectionsPerAddress, c.connections);
  }
}

TEST(CommandLine, TheConnectionLimitIsAWholeNumberFrom1To100000) {
  for (const char* bad : {"0", "100001", "1000000", "0000005", "-5", "+5", "1e3", " 5", "abc"}) {
    EXPECT_EQ(ParseCommandLine({"--max-connections-per-address", bad}).error,
              std::string("--max-connections-per-address needs a whole number from 1 to "
                          "100000, not ") +
                  bad);
  }
}

TEST(CommandLine, EventsAreKeptAWholeNumberOfDaysFrom1To36500) {
  EXPECT_EQ(ParseCommandLine({"--headless"}).keepEventDays, 400);
  EXPECT_EQ(ParseCommandLine({"--keep-events", "30", "--headless"}).keepEventDays, 30);
  for (const char* bad : {"0", "36501", "-1", "1.5", "x"}) {
    EXPECT_EQ(
        ParseCommandLine({"--keep-events", bad}).error,
        std::string("--keep-events needs a whole number of days from 1 to 36500, not ") + bad);
  }
}

TEST(CommandLine, CatchUpIsOffPowerOffOrAll) {
  EXPECT_EQ(ParseCommandLine({"--headless"}).catchUp, CatchUpPolicy::kPowerOff);
  EXPECT_EQ(ParseCommandLine({"--catch-up", "all"}).catchUp, CatchUpPolicy::kAll);
  EXPECT_EQ(ParseCommandLine({"--catch-up", "off", "--headless"}).catchUp, CatchUpPolicy::kOff);
  EXPECT_EQ(ParseCommandLine({"--catch-up", "some"}).error,
            "--catch-up needs off, power-off or all, not some");
}

TEST(CommandLine, ReplyCacheIsOnUnlessTurnedOff) {
  EXPECT_TRUE(ParseCommandLine({"--headless"}).replyCache);
  EXPECT_FALSE(ParseCommandLine({"--headless", "--no-reply-cache"}).replyCache);
}

// The manual page is made from this text: it stays as it stands.
TEST(CommandLine, HelpText) {
  EXPECT_EQ(
      HelpText(),
      std::string(
          "Usage: brenlow [--headless] [--database PATH] [OPTION]...\n"
          "  or:  brenlow --init-database PATH\n"
          "  or:  brenlow --set-credentials [--credentials PATH]\n"
          "  or:  brenlow --help | --version\n"
          "\n"
          "The timetable server of a school's networked classrooms.\n"
          "\n"
          "  (no option)           start the desktop program: login, then the timetable window\n"
          "  --headless            run the same server without windows or login until SIGINT "
          "or\n"
          "                        SIGTERM\n"
          "  --database PATH       use the database at PATH instead of ") +
          kDefaultDatabasePath +
          "\n"
          "  --listen ADDRESS      listen on this local IPv4 address only (default 0.0.0.0, "
          "every\n"
          "                        address)\n"
          "  --max-connections-per-address N\n"
          "                        connections one address may hold on each terminal port "
          "(default\n"
          "                        64; more for terminals sharing one address behind NAT)\n"
          "  --keep-events DAYS    remove recorded events older than DAYS days, once a day "
          "(default\n"
          "                        400)\n"
          "  --catch-up POLICY     after an outage earlier the same day, at the first minute: off\n"
          "                        (nothing), power-off (default: switch off the rooms whose\n"
          "                        periods ended meanwhile, unless a lesson runs now) or all\n"
          "                        (also switch on the rooms whose lesson began meanwhile)\n"
          "  --no-reply-cache      answer every terminal request from the database; without it,\n"
          "                        repeated questions on ports 64124 and 62124 are answered from\n"
          "                        memory while the database is unchanged\n"
          "  --init-database PATH  create a new, empty database at PATH and exit; an existing "
          "file\n"
          "                        is refused and left untouched\n"
          "  --set-credentials     ask for the desktop login's user name and password (twice,\n"
          "                        without echo) and write them to the credentials file; "
          "without\n"
          "                        a terminal, read them as two lines from standard input\n"
          "  --credentials PATH    keep the desktop login's credentials in PATH instead of\n"
          "                        " +
          InstalledCredentialsFile() +
          " (an installed program) or beside\n"
          "                        the program (its path with .ini in place of its extension)\n"
          "  --help                print this text\n"
          "  --version             print the version\n"
          "\n"
          "Ports: UDP 8234 controller reports and card swipes; TCP 64124 classroom terminals "
          "(class,\n"
          "periods, courses, password); TCP 62124 terminal edits and the teacher list. "
          "Commands go to\n"
          "controllers on UDP 20108 and to classroom PCs on UDP 60123.\n"
          "One copy serves a database (lock: the database's path with \".lock\"). A desktop "
          "program\n"
          "started while another copy runs edits the same database beside it (no ports, no\n"
          "scheduler); a second headless copy exits with status 1.\n");
}

}  // namespace
}  // namespace brenlow
