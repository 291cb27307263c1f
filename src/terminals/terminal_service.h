// TerminalService: the service of port 64124. A classroom terminal names itself by up to three
// hardware addresses and asks for its class's name (kind 1), periods (kind 2), course names
// (kind 3) or password (kind 4); the class is the one whose PCMacAddr equals a slot's text.
//
// Every request is 100 bytes; the loop hands over a connection's bytes as they arrive, and each
// call carries out the request at their start once all 100 bytes are there, answering it with
// the records of terminal_records.h. Kinds 1 and 2 answer for the first known slot only; kinds
// 3 and 4 for every known slot in turn. A request of another kind, or one that names no known
// address, is answered with nothing; the connection stays. A failed query or read ends the
// request quietly (the records produced before it are still sent). An answer is cut at
// kMaxTerminalReplyBytes. Never writes the store.
//
// CachingTerminalService() answers the same requests alike, from a ReplyCache of its own while
// the store is unchanged.
//
// Thread: the terminal loop's thread only; one request at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data/store.h"
#include "net/select_loop.h"
#include "terminals/reply_cache.h"

namespace brenlow {

// One answer stops growing at this size: the records that fit are sent, the rest are left out.
// A class within the system's limits (7 periods a weekday, 7 course rows) answers with a few
// KiB; a class of 200,000 periods in a restored file would otherwise make every request a reply
// of 24 MB, and connections that never read would hold one each.
inline constexpr size_t kMaxTerminalReplyBytes = 64 * 1024;

// With the store bound, a ConnectionService (net/select_loop.h): carries out the request at the
// start of buffered once its 100 bytes are there; returns 100 then, 0 before.
size_t TerminalService(const Store& store, std::string_view buffered, const std::string& peer,
                       std::string& reply);
// The same, answering from store, for a SelectLoop.
ConnectionService TerminalServiceOn(Store store);

// TerminalService with a reply cache of its own (one per loop: it serves one thread).
ConnectionService CachingTerminalService(Store store, ReplyCache::Limits limits = {});

// Appends the answer to one request of 100 bytes to reply (nothing when it is not answered);
// fewer bytes are answered with nothing. With a cache, a reply kept while the store is unchanged
// is sent again (the same bytes). Fuzz targets feed it arbitrary bytes.
void AnswerTerminalRequest(const Store& store, std::string_view request, std::string& reply,
                           ReplyCache* cache = nullptr);

}  // namespace brenlow
