// Waiting for another writer of the store. Every connection waits through StoreBusyWait: in
// short steps, for at most kBusyTimeoutMs in all, like SQLite's own busy time-out, but giving up
// at once when the stop token that the calling thread registered is requested, so that a worker
// asked to stop is not held for seconds by another process's write lock. (SQLite's busy
// time-out sleeps in steps that cannot be cut short.)
#pragma once

#include <stop_token>

namespace brenlow {

// From now on a statement of the calling thread that waits for another writer gives up (and
// fails as busy) once stop is requested.
void GiveUpStoreWaitsOnStop(std::stop_token stop);

// The busy handler of every connection (sqlite3_busy_handler): nonzero to try again.
int StoreBusyWait(void* unused, int attempt);

}  // namespace brenlow
