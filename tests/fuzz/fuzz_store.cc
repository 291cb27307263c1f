#include "fuzz/fuzz_store.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>

#include "core/messages.h"
#include "data/schema.h"

namespace brenlow::fuzzing {

const std::string& FuzzStore(const std::string& seedSql) {
  static const std::string path = [&] {
    char pattern[] = "/tmp/brenlow-fuzz-XXXXXX";
    std::string file = std::string(mkdtemp(pattern)) + "/fuzz.db";
    std::string error;
    if (!CreateDatabase(file, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      abort();
    }
    sqlite3* handle = nullptr;
    sqlite3_open(file.c_str(), &handle);
    if (sqlite3_exec(handle, seedSql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "seed: %s\n", sqlite3_errmsg(handle));
      abort();
    }
    sqlite3_close(handle);
    return file;
  }();
  return path;
}

void QuietLog() {
  class Discard final : public LineSink {
   public:
    void write(const std::string&) override {}
  };
  static Discard discard;
  InstallLineSink(&discard);
}

}  // namespace brenlow::fuzzing
