#include "SandboxConnection.h"

#include "SandboxGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

namespace velquor::sandbox {

namespace {

constexpr std::string_view kHeadEnd = "\r\n\r\n";

}  // namespace

int awaitSocket(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(std::clamp<decltype(left)>(left, 0, 60'000)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0 && Clock::now() < deadline) continue;
    return ready;
  }
}

Connection::Connection(Connection&& other) noexcept
    : unread(std::move(other.unread)),
      scanned(other.scanned),
      deadline(other.deadline),
      fd_(std::exchange(other.fd_, -1)),
      openCount_(other.openCount_) {}

Connection::~Connection() {
  if (fd_ < 0) return;
  ::close(fd_);
  --*openCount_;
}

bool Connection::readAvailable() {
  const std::size_t room = SandboxGateway::kMaximumHeadBytes - std::min(unread.size(), SandboxGateway::kMaximumHeadBytes);
  if (room == 0) return true;
  const std::size_t before = unread.size();
  unread.resize(before + room);
  const ssize_t got = ::recv(fd_, unread.data() + before, room, MSG_DONTWAIT);
  const int error = errno;
  unread.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  if (got > 0) return true;
  return got < 0 && (error == EAGAIN || error == EWOULDBLOCK || error == EINTR);
}

bool Connection::headEnded() {
  const std::size_t from = scanned < kHeadEnd.size() ? 0 : scanned - (kHeadEnd.size() - 1);
  if (unread.find(kHeadEnd, from) != std::string::npos) return true;
  scanned = unread.size();
  return false;
}

template <typename Operation>
ssize_t ConnectionStream::transfer(short events, Clock::time_point deadline, Operation operation) {
  for (;;) {
    if (awaitSocket(connection_.fd(), events, deadline) <= 0) return -1;
    const ssize_t done = operation();
    if (done >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return done;
  }
}

Clock::time_point ConnectionStream::writeDeadline() const {
  return writeDeadline_.value_or(Clock::now() + SandboxGateway::kAnswerTimeout);
}

template <typename Query>
void ConnectionStream::addressOf(Query query, std::string& ip, int& port) const {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  char text[INET_ADDRSTRLEN] = "";
  if (query(connection_.fd(), reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text));
    port = ntohs(address.sin_port);
  }
  ip = text;
}

bool ConnectionStream::is_readable() const {
  return used_ < connection_.unread.size() || awaitSocket(connection_.fd(), POLLIN, readDeadline_) > 0;
}

bool ConnectionStream::is_writable() const { return awaitSocket(connection_.fd(), POLLOUT, writeDeadline()) > 0; }

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  readSinceWrite_ = true;
  const std::string& unread = connection_.unread;
  if (used_ < unread.size()) {
    const std::size_t count = std::min(size, unread.size() - used_);
    std::memcpy(ptr, unread.data() + used_, count);
    used_ += count;
    return static_cast<ssize_t>(count);
  }
  return transfer(POLLIN, readDeadline_, [&] { return ::recv(connection_.fd(), ptr, size, MSG_DONTWAIT); });
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  // The answer's time starts with its first write; a 100 Continue before the body is not the answer.
  if (!writeDeadline_ || readSinceWrite_) writeDeadline_ = Clock::now() + SandboxGateway::kAnswerTimeout;
  readSinceWrite_ = false;
  return transfer(POLLOUT, *writeDeadline_,
                  [&] { return ::send(connection_.fd(), ptr, size, MSG_DONTWAIT | MSG_NOSIGNAL); });
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const { addressOf(::getpeername, ip, port); }

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const { addressOf(::getsockname, ip, port); }

void ConnectionStream::dropUsed() {
  connection_.unread.erase(0, used_);
  connection_.scanned = 0;
  used_ = 0;
}

}  // namespace velquor::sandbox
