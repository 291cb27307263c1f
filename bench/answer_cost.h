// What one answer of port 64124 costs in this process, without network: from the store, and
// from a reply cache (split into reading the store's version, which every cached answer does
// once, and the rest). For terminal_bench.
#pragma once

#include <cstdint>
#include <string>

#include "data/store.h"

namespace brenlow {

struct AnswerCost {
  double fromStoreMicroseconds = 0;
  double fromCacheMicroseconds = 0;
  double versionMicroseconds = 0;  // of fromCacheMicroseconds
};

// Answers request (100 bytes, a kind of port 64124) count times each way on the calling thread,
// from store.
AnswerCost MeasureAnswerCost(const Store& store, const std::string& request, int count);

}  // namespace brenlow
