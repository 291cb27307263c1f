// TerminalService: the service of port 64124. A classroom terminal names itself by up to three
// hardware addresses and asks for its class's name (kind 1), periods (kind 2), course names
// (kind 3) or password (kind 4); the class is the one whose PCMacAddr equals a slot's text.
//
// Each call reads one request of 100 bytes from a readable connection and answers it with the
// records of terminal_records.h. Kinds 1 and 2 answer for the first known slot only; kinds 3
// and 4 for every known slot in turn. A request that is short, of another kind, or names no
// known address is answered with nothing; the connection stays. A failed query or read ends
// the request quietly (the records produced before it are still sent). Never writes the store.
//
// Thread: the terminal loop's thread only; one request at a time.
#pragma once

#include <string_view>

#include "net/connection_registry.h"
#include "net/request_io.h"

namespace brenlow {

void TerminalService(ConnectionRegistry& registry, ConnectionRegistry::Handle handle);

// The service without its connection: answers the bytes of one receive (at most 100) into
// reply, which stays empty when nothing is answered. TerminalService receives, calls this and
// sends the reply; fuzz targets feed it arbitrary bytes.
void AnswerTerminalRequest(std::string_view received, Reply& reply);

}  // namespace brenlow
