#include "net/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brenlow {
namespace {

bool LookUpIpv4(const std::string& name, in_addr* address, std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    if (error)
      *error = "resolve " + name + ": " + gai_strerror(rc);
    return false;
  }
  *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

// Resolves a dotted address or host name to its first IPv4 address. The empty text means this
// computer: its own name's address, or 127.0.0.1 where that name does not resolve (many
// machines' names are in no resolver), so that a command for "this computer" always goes out.
bool ResolveIpv4(const std::string& host, uint16_t port, sockaddr_in* address, std::string* error) {
  std::memset(address, 0, sizeof *address);
  address->sin_family = AF_INET;
  address->sin_port = htons(port);
  if (!host.empty()) {
    return inet_pton(AF_INET, host.c_str(), &address->sin_addr) == 1 ||
           LookUpIpv4(host, &address->sin_addr, error);
  }
  char own[256] = {};
  if (gethostname(own, sizeof own - 1) != 0 || !LookUpIpv4(own, &address->sin_addr, nullptr))
    address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return true;
}

bool BindAddress(const std::string& host, uint16_t port, sockaddr_in* address, std::string* error) {
  if (host.empty() || host == "0.0.0.0") {
    std::memset(address, 0, sizeof *address);
    address->sin_family = AF_INET;
    address->sin_port = htons(port);
    address->sin_addr.s_addr = htonl(INADDR_ANY);
    return true;
  }
  return ResolveIpv4(host, port, address, error);
}

std::string Endpoint(const std::string& host, uint16_t port) {
  return (host.empty() ? std::string("0.0.0.0") : host) + ":" + std::to_string(port);
}

}  // namespace

std::string ErrnoText(const std::string& what, int error) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be in buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return what + ": " + text;
}

Socket::~Socket() {
  close();
}

Socket::Socket(Socket&& other) noexcept : fd_(other.fd_) {
  other.fd_ = -1;
}

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

void Socket::close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void Socket::abort() {
  if (fd_ < 0)
    return;
  linger now{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &now, sizeof now);
  close();
}

Socket Socket::BindUdp(const std::string& address, uint16_t port, std::string* error) {
  sockaddr_in local{};
  if (!BindAddress(address, port, &local, error))
    return Socket();
  Socket socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!socket.isOpen()) {
    if (error)
      *error = ErrnoText("socket", errno);
    return Socket();
  }
  if (::bind(socket.fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    if (error)
      *error = ErrnoText("bind " + Endpoint(address, port), errno);
    return Socket();
  }
  return socket;
}

Socket Socket::ListenTcp(const std::string& address, uint16_t port, int backlog,
                         std::string* error) {
  sockaddr_in local{};
  if (!BindAddress(address, port, &local, error))
    return Socket();
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!socket.isOpen()) {
    if (error)
      *error = ErrnoText("socket", errno);
    return Socket();
  }
  int on = 1;
  // A restarted server takes its port back at once instead of waiting out TIME_WAIT.
  setsockopt(socket.fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(socket.fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    if (error)
      *error = ErrnoText("bind " + Endpoint(address, port), errno);
    return Socket();
  }
  if (::listen(socket.fd_, backlog) != 0) {
    if (error)
      *error = ErrnoText("listen " + Endpoint(address, port), errno);
    return Socket();
  }
  return socket;
}

Socket Socket::ConnectTcp(const std::string& host, uint16_t port, std::string* error,
                          const std::string& source) {
  sockaddr_in remote{};
  if (!ResolveIpv4(host, port, &remote, error))
    return Socket();
  Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket.isOpen()) {
    if (error)
      *error = ErrnoText("socket", errno);
    return Socket();
  }
  if (!source.empty()) {
    sockaddr_in local{};
    if (!BindAddress(source, 0, &local, error))
      return Socket();
    if (::bind(socket.fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      if (error)
        *error = ErrnoText("bind " + Endpoint(source, 0), errno);
      return Socket();
    }
  }
  if (::connect(socket.fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
    if (error)
      *error = ErrnoText("connect " + Endpoint(host, port), errno);
    return Socket();
  }
  return socket;
}

uint16_t Socket::localPort() const {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) != 0)
    return 0;
  return ntohs(local.sin_port);
}

long Socket::sendTo(const std::string& host, uint16_t port, const void* data, size_t size,
                    std::string* error) const {
  sockaddr_in remote{};
  if (!ResolveIpv4(host, port, &remote, error))
    return -1;
  long sent =
      ::sendto(fd_, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
  if (sent < 0 && error)
    *error = ErrnoText("send to " + Endpoint(host, port), errno);
  return sent;
}

std::optional<Socket::Datagram> Socket::receiveFrom(void* buffer, size_t capacity) const {
  sockaddr_in sender{};
  socklen_t senderSize = sizeof sender;
  // MSG_TRUNC makes the kernel report the datagram's real length, so an over-long datagram is
  // recognised instead of being handled cut short.
  long size = ::recvfrom(fd_, buffer, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(&sender),
                         &senderSize);
  if (size < 0)
    return std::nullopt;
  Datagram datagram;
  datagram.size = static_cast<size_t>(size);
  datagram.truncated = datagram.size > capacity;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text);
  datagram.sender = text;
  datagram.senderPort = ntohs(sender.sin_port);
  return datagram;
}

Socket Socket::accept(std::string* peer) const {
  sockaddr_in remote{};
  socklen_t remoteSize = sizeof remote;
  Socket connection(::accept4(fd_, reinterpret_cast<sockaddr*>(&remote), &remoteSize,
                              SOCK_CLOEXEC | SOCK_NONBLOCK));
  if (!connection.isOpen())
    return connection;
  connection.setKeepAlive(true);
  if (peer != nullptr) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &remote.sin_addr, text, sizeof text);
    *peer = text;
  }
  return connection;
}

long Socket::sendSome(const void* data, size_t size) const {
  return ::send(fd_, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
}

long Socket::receive(void* buffer, size_t capacity) const {
  return ::recv(fd_, buffer, capacity, MSG_DONTWAIT);
}

long Socket::receiveWithin(void* buffer, size_t capacity, std::chrono::milliseconds timeout) const {
  pollfd readable{fd_, POLLIN, 0};
  int ready = ::poll(&readable, 1, static_cast<int>(timeout.count()));
  if (ready < 0)
    return -1;
  if (ready == 0) {
    errno = EAGAIN;
    return -1;
  }
  return ::recv(fd_, buffer, capacity, MSG_DONTWAIT);
}

bool Socket::sendAll(const void* data, size_t size, std::chrono::milliseconds timeout,
                     int abortFd) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    long sent = ::send(fd_, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      bytes += sent;
      size -= static_cast<size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR)
      continue;
    if (sent == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
      return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      return false;
    pollfd waits[2] = {{fd_, POLLOUT, 0}, {abortFd, POLLIN, 0}};
    if (::poll(waits, abortFd >= 0 ? 2 : 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
      return false;
    if (waits[1].revents != 0)
      return false;
  }
  return true;
}

void Socket::setNonBlocking(bool on) const {
  int flags = fcntl(fd_, F_GETFL, 0);
  fcntl(fd_, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK);
}

void Socket::setKeepAlive(bool on) const {
  int value = on ? 1 : 0;
  setsockopt(fd_, SOL_SOCKET, SO_KEEPALIVE, &value, sizeof value);
}

void Socket::setReceiveTimeout(std::chrono::milliseconds timeout) const {
  timeval value{};
  value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
}

void Socket::setReceiveBuffer(int bytes) const {
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

}  // namespace brenlow
