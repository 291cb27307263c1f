// Socket: the one place that makes socket system calls. An owned file descriptor plus the few
// operations the services need. Failures come back as false / -1 with a readable text from
// ErrnoText; nothing here throws or raises SIGPIPE.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace brenlow {

// strerror text for an errno value, with the operation named: "bind 0.0.0.0:8234: Address
// already in use".
std::string ErrnoText(const std::string& what, int error);

class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket();
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void close();
  // TCP: closes at once, dropping what the kernel still holds to send (the peer sees a reset):
  // for a peer that stopped reading, whose bytes would otherwise linger in the kernel.
  void abort();

  // A UDP socket bound to address:port (port 0: ephemeral; address "" or "0.0.0.0": every
  // local IPv4 address). Returns a closed socket and fills error on failure.
  static Socket BindUdp(const std::string& address, uint16_t port, std::string* error);
  // A TCP socket listening on address:port with the given backlog, non-blocking.
  static Socket ListenTcp(const std::string& address, uint16_t port, int backlog,
                          std::string* error);
  // A blocking TCP connection to host:port (loopback tests, the terminal stand-in), from the
  // local address source when one is given (a loopback test's terminal on 127.0.0.2).
  static Socket ConnectTcp(const std::string& host, uint16_t port, std::string* error,
                           const std::string& source = "");

  // The local port the socket is bound to (after an ephemeral bind), 0 on failure.
  uint16_t localPort() const;

  // UDP: one datagram to host:port. The host is a dotted address or a name resolved to its
  // first IPv4 address; the empty text means this computer. Returns the bytes sent or -1.
  long sendTo(const std::string& host, uint16_t port, const void* data, size_t size,
              std::string* error) const;

  struct Datagram {
    size_t size = 0;         // bytes of the datagram (may exceed the buffer: see truncated)
    bool truncated = false;  // the datagram was longer than the buffer
    std::string sender;      // dotted IPv4 address of the sender
    uint16_t senderPort = 0;
  };
  // UDP: waits for one datagram. Returns nullopt on a failed receive.
  std::optional<Datagram> receiveFrom(void* buffer, size_t capacity) const;

  // TCP: accepts one pending connection (non-blocking, keep-alive on) and gives the peer's
  // dotted IPv4 address. Closed on failure.
  Socket accept(std::string* peer = nullptr) const;
  // TCP: one receive of at most capacity bytes without waiting. Returns the byte count, 0 when
  // the peer closed, -1 on error (errno EAGAIN when nothing is there).
  long receive(void* buffer, size_t capacity) const;
  // TCP: one send of at most size bytes without waiting. Returns the bytes the kernel took, -1
  // on error (errno EAGAIN when its buffer is full).
  long sendSome(const void* data, size_t size) const;
  // TCP: waits at most timeout for bytes, then one receive of at most capacity bytes (tools
  // and tests). Returns the byte count, 0 when the peer closed, -1 on error or when nothing
  // arrived in time (errno EAGAIN).
  long receiveWithin(void* buffer, size_t capacity, std::chrono::milliseconds timeout) const;
  // TCP: sends all bytes, waiting for the peer to read for at most timeout in all. Returns
  // false when the peer failed or did not take the bytes in time.
  // A readable abortFd (a loop's stop signal) ends the wait at once, as a failure.
  bool sendAll(const void* data, size_t size, std::chrono::milliseconds timeout,
               int abortFd = -1) const;

  void setNonBlocking(bool on) const;
  void setKeepAlive(bool on) const;
  // Blocking receive time-out (tools and tests); zero waits for ever.
  void setReceiveTimeout(std::chrono::milliseconds timeout) const;
  // Asks for a receive queue of this many bytes; the kernel may grant less.
  void setReceiveBuffer(int bytes) const;

 private:
  int fd_ = -1;
};

}  // namespace brenlow
