// What one answer of port 64124 costs in this process, without network: from the store, and
// from a reply cache (split into reading the store's version, which every cached answer does
// once, and the rest). For terminal_bench.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

struct AnswerCost {
  double fromStoreMicroseconds = 0;
  double fromCacheMicroseconds = 0;
  double versionMicroseconds = 0;  // of fromCacheMicroseconds
};

// Answers request (100 bytes, a kind of port 64124) count times each way on the calling thread,
// from the store at DatabasePath().
AnswerCost MeasureAnswerCost(const std::string& request, int count);

}  // namespace brenlow
