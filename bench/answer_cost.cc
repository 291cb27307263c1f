#include "answer_cost.h"

#include <chrono>

#include "data/store_version.h"
#include "terminals/reply_cache.h"
#include "terminals/terminal_service.h"

namespace brenlow {
namespace {

template <typename Step>
double MicrosecondsEach(int count, Step step) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i)
    step();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
             .count() /
         count;
}

}  // namespace

AnswerCost MeasureAnswerCost(const Store& store, const std::string& request, int count) {
  AnswerCost cost;
  std::string reply;
  cost.fromStoreMicroseconds = MicrosecondsEach(count, [&] {
    reply.clear();
    AnswerTerminalRequest(store, request, reply);
  });
  ReplyCache cache;
  cost.fromCacheMicroseconds = MicrosecondsEach(count, [&] {
    reply.clear();
    AnswerTerminalRequest(store, request, reply, &cache);
  });
  const std::string& path = store.path();
  cost.versionMicroseconds = MicrosecondsEach(count, [&] { (void)ReadStoreVersion(path); });
  return cost;
}

}  // namespace brenlow
