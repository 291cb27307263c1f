// The program's network workers: the controller listener on UDP port 8234, then the select
// loops of ports 64124 and 62124, each with its start delay (Workers starts them).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/workers.h"
#include "core/clock.h"
#include "data/store.h"

namespace brenlow {

// The worker threads in their start order, with their delays (50, 150, 250 ms). Each terminal
// port lets one peer address hold maxConnectionsPerAddress connections. All serve store. The
// clock must outlive the workers. With replyCache, the terminal ports answer repeated questions
// from memory while the store is unchanged (terminals/reply_cache.h).
std::vector<WorkerSpec> NetworkWorkers(const std::string& listenAddress, const Clock& clock,
                                       const Store& store, size_t maxConnectionsPerAddress,
                                       bool replyCache = true);

}  // namespace brenlow
