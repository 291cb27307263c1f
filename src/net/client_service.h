// ClientService: the service of port 62124. A terminal of a known classroom fetches the
// teachers' NameNumb texts (kind 1, answered with TeacherNameRecords and the end record); any
// terminal rewrites one period of a class's weekday (kind 2) or one row of its course names
// (kind 3), addressed by the row's position in ID order, without an answer.
//
// Each call receives once, up to kClientReceiveCapacity bytes, and carries out every complete
// request in it, in order. A kind the port does not know, or a request cut short at the end
// of the receive, ends the processing of that receive; no bytes are kept for the next one.
// A failed query or read ends its request quietly; a failed update has shown the store's
// message (through ShowMessage) and ends its request.
//
// Thread: the client loop's thread only; one request at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "net/connection_registry.h"
#include "net/request_io.h"

namespace brenlow {

inline constexpr size_t kClientReceiveCapacity = 8192;

void ClientService(ConnectionRegistry& registry, ConnectionRegistry::Handle handle);

// Delivers the reply of one request (possibly empty); false when the peer is gone, which ends
// the processing of the receive.
using ClientReplySender = std::function<bool(const Reply& reply)>;

// The service without its connection: carries out every complete request in the bytes of one
// receive, in order, handing each one's reply to send. ClientService receives and sends
// through it; fuzz targets feed it arbitrary bytes.
void ServeClientRequests(std::string_view received, const ClientReplySender& send);

}  // namespace brenlow
