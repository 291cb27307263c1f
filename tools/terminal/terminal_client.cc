#include "tools/terminal/terminal_client.h"

#include <cerrno>

#include "terminals/client_records.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kSendLimit{5000};

milliseconds Left(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? left : milliseconds(0);
}

std::string Trailing(std::string_view bytes, size_t recordSize) {
  size_t rest = bytes.size() % recordSize;
  return rest == 0 ? std::string()
                   : "(" + std::to_string(rest) + " bytes after the last whole record)\n";
}

}  // namespace

bool TerminalConnection::connect(const std::string& host, uint16_t port, std::string* error,
                                 const std::string& source) {
  socket_ = Socket::ConnectTcp(host, port, error, source);
  peerClosed_ = false;
  return socket_.isOpen();
}

bool TerminalConnection::send(std::string_view bytes) {
  return socket_.sendAll(bytes.data(), bytes.size(), kSendLimit);
}

std::string TerminalConnection::receive(size_t size, milliseconds timeout) {
  std::string bytes;
  const auto deadline = Clock::now() + timeout;
  char buffer[65536];
  while (bytes.size() < size && !peerClosed_) {
    milliseconds left = Left(deadline);
    if (left.count() == 0)
      break;
    long received =
        socket_.receiveWithin(buffer, std::min(sizeof buffer, size - bytes.size()), left);
    if (received > 0) {
      bytes.append(buffer, static_cast<size_t>(received));
    } else if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
      peerClosed_ = true;
    }
  }
  return bytes;
}

std::string TerminalConnection::receiveUntilQuiet(milliseconds quiet, milliseconds limit) {
  std::string bytes;
  const auto deadline = Clock::now() + limit;
  char buffer[65536];
  while (!peerClosed_) {
    milliseconds wait = std::min(quiet, Left(deadline));
    if (wait.count() == 0)
      break;
    long received = socket_.receiveWithin(buffer, sizeof buffer, wait);
    if (received > 0) {
      bytes.append(buffer, static_cast<size_t>(received));
    } else if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
      peerClosed_ = true;
    } else if (errno == EAGAIN) {
      break;  // quiet for long enough
    }
  }
  return bytes;
}

std::string TerminalConnection::receiveTeacherList(milliseconds quiet) {
  std::string bytes;
  char buffer[65536];
  while (!peerClosed_ && !EndsTeacherList(bytes)) {
    long received = socket_.receiveWithin(buffer, sizeof buffer, quiet);
    if (received > 0) {
      bytes.append(buffer, static_cast<size_t>(received));
    } else if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
      peerClosed_ = true;
    } else if (errno == EAGAIN) {
      break;
    }
  }
  return bytes;
}

bool EndsTeacherList(std::string_view bytes) {
  if (bytes.size() < kEndRecordSize ||
      (bytes.size() - kEndRecordSize) % kTeacherNameRecordSize != 0) {
    return false;
  }
  return bytes.substr(bytes.size() - kEndRecordSize) == EndRecordBytes();
}

std::string DescribeTerminalReply(int32_t kind, std::string_view bytes) {
  if (bytes.empty())
    return "no answer\n";
  std::string text;
  switch (kind) {
    case kClassNameKind:
      return "class name: " + ParseClassNameReply(bytes) + "\n";
    case kPeriodsKind:
      for (size_t i = 0; i + kPeriodRecordSize <= bytes.size(); i += kPeriodRecordSize) {
        PeriodRecord p = ParsePeriodRecord(bytes.substr(i, kPeriodRecordSize));
        text += "period " + std::to_string(i / kPeriodRecordSize + 1) + ": " + p.week + " " +
                p.startH + ":" + p.startM + " - " + p.endH + ":" + p.endM + "  teacher " +
                p.thName + "  auto on " + p.autoOn + ", auto off " + p.autoOff + "\n";
      }
      return text + Trailing(bytes, kPeriodRecordSize);
    case kCoursesKind:
      for (size_t i = 0; i + kCourseRecordSize <= bytes.size(); i += kCourseRecordSize) {
        CourseRecord c = ParseCourseRecord(bytes.substr(i, kCourseRecordSize));
        text += "courses " + std::to_string(i / kCourseRecordSize + 1) + ": Monday " + c.days[0] +
                " | Tuesday " + c.days[1] + " | Wednesday " + c.days[2] + " | Thursday " +
                c.days[3] + " | Friday " + c.days[4] + "\n";
      }
      return text + Trailing(bytes, kCourseRecordSize);
    case kPasswordKind:
      for (size_t i = 0; i + kPasswordRecordSize <= bytes.size(); i += kPasswordRecordSize) {
        text += "password: " + ParsePasswordRecord(bytes.substr(i, kPasswordRecordSize)) + "\n";
      }
      return text + Trailing(bytes, kPasswordRecordSize);
    default:
      return std::to_string(bytes.size()) + " bytes\n";
  }
}

std::string DescribeClientReply(int32_t kind, std::string_view bytes) {
  if (bytes.empty())
    return "no answer\n";
  if (kind != kTeacherListKind)
    return std::to_string(bytes.size()) + " bytes\n";
  std::string text;
  bool closed = EndsTeacherList(bytes);
  size_t records = closed ? bytes.size() - kEndRecordSize : bytes.size();
  for (size_t i = 0; i + kTeacherNameRecordSize <= records; i += kTeacherNameRecordSize) {
    text += "teacher: " + ParseTeacherNameRecord(bytes.substr(i, kTeacherNameRecordSize)) + "\n";
  }
  text += closed ? "(end of list)\n" : "(list not closed by its end record)\n";
  return text;
}

}  // namespace brenlow
