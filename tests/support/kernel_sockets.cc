#include "support/kernel_sockets.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace brenlow::testing {
namespace {

constexpr const char* kTcpListenState = "0A";

// One line of /proc/net/tcp or /proc/net/udp: ports and queue sizes, the rest left out.
struct KernelSocket {
  uint16_t localPort = 0;
  uint16_t remotePort = 0;
  std::string state;
  unsigned long receiveQueue = 0;
};

// "0100007F:FB74" -> 0xFB74.
uint16_t PortOf(const std::string& address) {
  return static_cast<uint16_t>(std::stoul(address.substr(address.find(':') + 1), nullptr, 16));
}

template <typename Visit>
bool AnySocket(Transport transport, Visit visit) {
  std::ifstream table(transport == Transport::kTcp ? "/proc/net/tcp" : "/proc/net/udp");
  std::string line;
  std::getline(table, line);  // the header
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, queues;
    KernelSocket socket;
    if (!(fields >> slot >> local >> remote >> socket.state >> queues))
      continue;
    socket.localPort = PortOf(local);
    socket.remotePort = PortOf(remote);
    socket.receiveQueue = std::stoul(queues.substr(queues.find(':') + 1), nullptr, 16);
    if (visit(socket))
      return true;
  }
  return false;
}

uint16_t PortOfName(int fd, bool peer) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? getpeername(fd, raw, &size) : getsockname(fd, raw, &size)) != 0)
    return 0;
  return ntohs(address.sin_port);
}

}  // namespace

bool PortServed(uint16_t port, Transport transport) {
  return AnySocket(transport, [&](const KernelSocket& socket) {
    return socket.localPort == port &&
           (transport == Transport::kUdp || socket.state == kTcpListenState);
  });
}

bool ReceiveQueueEmpty(uint16_t port, Transport transport) {
  return !AnySocket(transport, [&](const KernelSocket& socket) {
    return socket.localPort == port && socket.receiveQueue != 0;
  });
}

bool PeerReadEverything(int fd) {
  int unacknowledged = -1;
  if (ioctl(fd, SIOCOUTQ, &unacknowledged) != 0 || unacknowledged != 0)
    return false;
  const uint16_t ours = PortOfName(fd, false);
  const uint16_t theirs = PortOfName(fd, true);
  return AnySocket(Transport::kTcp, [&](const KernelSocket& socket) {
    return socket.localPort == theirs && socket.remotePort == ours && socket.receiveQueue == 0;
  });
}

size_t UnreadBytes(int fd) {
  int unread = 0;
  return ioctl(fd, FIONREAD, &unread) == 0 && unread > 0 ? static_cast<size_t>(unread) : 0;
}

size_t OpenDescriptorCount() {
  std::error_code error;
  auto entries = std::filesystem::directory_iterator("/proc/self/fd", error);
  // Less one: the directory's own descriptor, open while it is listed.
  size_t count = static_cast<size_t>(std::distance(entries, std::filesystem::directory_iterator()));
  return count > 0 ? count - 1 : 0;
}

}  // namespace brenlow::testing
