#include "terminals/reply_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "data/connection.h"
#include "data/database.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::TempDatabase;

std::vector<std::string> Kept(ReplyCache& cache, const std::vector<std::string>& keys) {
  std::vector<std::string> kept;
  for (const std::string& key : keys) {
    if (cache.find(key) != nullptr)
      kept.push_back(key);
  }
  return kept;
}

TEST(ReplyCache, LetsTheLeastRecentlyUsedGoFirstWithinItsEntries) {
  TempDatabase store;
  ReplyCache cache({.entries = 3, .bytes = 1 << 20, .replyBytes = 100});
  ASSERT_TRUE(cache.beginRequest(store.path()));
  cache.keep("a", "reply a");
  cache.keep("b", "reply b");
  cache.keep("c", "reply c");
  ASSERT_NE(cache.find("a"), nullptr);  // a is used again: b is now the oldest
  cache.keep("d", "reply d");
  EXPECT_EQ(Kept(cache, {"a", "b", "c", "d"}), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(*cache.find("d"), "reply d");

  cache.keep("long", std::string(101, 'x'));  // above the reply limit: never kept
  EXPECT_EQ(cache.find("long"), nullptr);
  EXPECT_EQ(cache.size(), 3u);
  cache.keep("long", std::string(100, 'x'));
  EXPECT_NE(cache.find("long"), nullptr);
}

TEST(ReplyCache, LetsTheLeastRecentlyUsedGoFirstWithinItsBytes) {
  TempDatabase store;
  const size_t entryCost = 1 + 10 + ReplyCache::kEntryOverheadBytes;
  ReplyCache cache({.entries = 100, .bytes = 3 * entryCost, .replyBytes = 100});
  ASSERT_TRUE(cache.beginRequest(store.path()));
  for (const char* key : {"a", "b", "c", "d"})
    cache.keep(key, "0123456789");
  EXPECT_EQ(Kept(cache, {"a", "b", "c", "d"}), (std::vector<std::string>{"b", "c", "d"}));
  EXPECT_EQ(cache.bytes(), 3 * entryCost);
  cache.keep("b", "01234567890123456789");  // replaced by a longer reply: two go
  EXPECT_EQ(Kept(cache, {"b", "c", "d"}), (std::vector<std::string>{"b", "d"}));
  EXPECT_LE(cache.bytes(), 3 * entryCost);
}

// Each way the store can change under a serving thread, after which nothing kept is found.
TEST(ReplyCache, ForgetsEveryReplyWhenTheStoreChanges) {
  TempDatabase store;
  store.addClass("一班", "10.0.0.1", "AA-01", "pw");
  const std::string spare = store.folder() + "/spare.db";
  struct Case {
    const char* change;
    bool keeps;
    std::function<void()> make;
  };
  const Case cases[] = {
      {"nothing, only reads", true,
       [&store] {
         Database db = store.store().database();
         EXPECT_TRUE(db.query("select * from tblbj").isValid());
       }},
      {"a write through this thread's own connection", false,
       [&store] {
         Database db = store.store().database();
         db.open();
         EXPECT_TRUE(db.execute("Update tblbj set Pass='own'"));
       }},
      {"a commit by another thread's connection", false,
       [&store] {
         std::thread([&store] {
           Database db = store.store().database();
           db.open();
           EXPECT_TRUE(db.execute("Update tblbj set Pass='thread'"));
           ReleaseThreadConnections();
         }).join();
       }},
      {"a commit by a connection of its own (another process alike)", false,
       [&store] { store.exec("Update tblbj set Pass='other'"); }},
      {"the file replaced", false,
       [&store, &spare] {
         std::filesystem::copy_file(store.path(), spare,
                                    std::filesystem::copy_options::overwrite_existing);
         std::filesystem::rename(spare, store.path());
       }},
  };
  testing::RecordingMessages messages;
  for (const Case& c : cases) {
    // A new connection each time: a version that differs by its connection alone (the replaced
    // file's new connection starts at the same data_version) is seen as well.
    ReleaseThreadConnections();
    ReplyCache cache;
    ASSERT_TRUE(cache.beginRequest(store.path())) << c.change;
    cache.keep("key", "reply");
    c.make();
    ASSERT_TRUE(cache.beginRequest(store.path())) << c.change;
    EXPECT_EQ(cache.find("key") != nullptr, c.keeps) << c.change;
    EXPECT_EQ(cache.size(), c.keeps ? 1u : 0u) << c.change;
  }
}

TEST(ReplyCache, KeepsNothingMadeWhileAStoreReadFailed) {
  TempDatabase store;
  ReplyCache cache;
  int made = 0;
  auto answer = [&](const std::function<bool(std::string&)>& make) {
    std::string reply = "before|";
    cache.answer(store.path(), "key", reply, [&](std::string& out) {
      ++made;
      return make(out);
    });
    return reply;
  };
  // The answer ended by a failed query, and one that says it read not all it needed.
  auto failedQuery = [&store](std::string& out) {
    Database db = store.store().database();
    EXPECT_FALSE(db.query("select * from tblNoSuchTable").isValid());
    out += "part";
    return true;
  };
  EXPECT_EQ(answer(failedQuery), "before|part");
  EXPECT_EQ(answer([](std::string& out) {
              out += "cut";
              return false;
            }),
            "before|cut");
  EXPECT_EQ(made, 2);
  EXPECT_EQ(cache.size(), 0u);

  auto whole = [](std::string& out) {
    out += "whole";
    return true;
  };
  EXPECT_EQ(answer(whole), "before|whole");
  EXPECT_EQ(answer(whole), "before|whole");  // from memory: only the bytes it made are kept
  EXPECT_EQ(made, 3);
  EXPECT_EQ(cache.hits(), 1u);

  // A store that cannot be opened: answered every time, nothing kept.
  std::filesystem::remove(store.path());
  ReleaseThreadConnections();
  testing::RecordingMessages messages;
  EXPECT_EQ(answer(whole), "before|whole");
  EXPECT_EQ(answer(whole), "before|whole");
  EXPECT_EQ(made, 5);
  EXPECT_EQ(cache.size(), 0u);
}

}  // namespace
}  // namespace brenlow
