// ClientService: the service of port 62124. A terminal of a known classroom fetches the
// teachers' NameNumb texts (kind 1, answered with TeacherNameRecords and the end record); any
// terminal rewrites one period of a class's weekday (kind 2) or one row of its course names
// (kind 3), addressed by the row's position in ID order, without an answer.
//
// Requests are 100, 264 or 644 bytes by their kind (at offset 96); the loop hands over a
// connection's bytes as they arrive, and each call carries out the request at their start once
// all its bytes are there. A kind the port does not know drops everything buffered for the
// connection, which stays open. A failed query or read ends its request quietly; a failed
// update has shown the store's message (through ShowMessage) and ends its request.
//
// CachingClientService() answers the same requests alike, the teacher list from a ReplyCache of
// its own while the store is unchanged; its edits, written through the loop thread's own
// connection, empty that cache.
//
// Thread: the client loop's thread only; one request at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data/store.h"
#include "net/select_loop.h"
#include "terminals/reply_cache.h"

namespace brenlow {

// With the store bound, a ConnectionService (net/select_loop.h): carries out the request at the
// start of buffered once it is complete and returns its size; 0 while it lacks bytes;
// buffered.size() for an unknown kind. Fuzz targets feed it arbitrary bytes.
size_t ClientService(const Store& store, std::string_view buffered, const std::string& peer,
                     std::string& reply);
// The same, on store, for a SelectLoop.
ConnectionService ClientServiceOn(Store store);

// ClientService on store with a reply cache of its own (one per loop: it serves one thread).
ConnectionService CachingClientService(Store store, ReplyCache::Limits limits = {});

// ClientService answering the teacher list through cache (none: from the store).
size_t ServeClientRequest(const Store& store, std::string_view buffered, const std::string& peer,
                          std::string& reply, ReplyCache* cache);

}  // namespace brenlow
