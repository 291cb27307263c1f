#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brenlow {
namespace {

TEST(SingleInstance, OnlyANameInUseMeansAnotherCopy) {
  SingleInstance first;
  ASSERT_EQ(first.acquire(), SingleInstance::Result::kAcquired);
  EXPECT_EQ(first.acquire(), SingleInstance::Result::kAcquired) << "held already";
  SingleInstance second;
  EXPECT_EQ(second.acquire(), SingleInstance::Result::kTaken);

  // A check that cannot even make its socket knows of no other copy. In a child, where no
  // descriptor may be opened any more.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int lowestFree = dup(0);
    close(lowestFree);
    rlimit limit{static_cast<rlim_t>(lowestFree), static_cast<rlim_t>(lowestFree)};
    setrlimit(RLIMIT_NOFILE, &limit);
    SingleInstance starved;
    bool failed = starved.acquire() == SingleInstance::Result::kFailed &&
                  starved.error().find("socket") != std::string::npos;
    _exit(failed ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace brenlow
