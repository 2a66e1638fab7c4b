#include "SandboxConnections.h"

#include "SandboxGateway.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace velquor::sandbox {

namespace {

const char* statusText(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
  }
}

// The connection this thread is answering ends with the answer: it was asked to, the gateway is
// stopping, or the request was refused (what is left of a refused body is not read).
thread_local bool answerEndsConnection = false;

std::string cannotListen(std::uint16_t port, int error) {
  return "cannot listen on " + std::string(SandboxGateway::kHost) + ':' + std::to_string(port) + ": " +
         std::strerror(error);
}

// A non-blocking socket listening on 127.0.0.1:`port` (0: a free one). Only SO_REUSEADDR, never
// SO_REUSEPORT, which would let a second gateway share a port already in use.
int listenOnLoopback(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) throw SandboxError(cannotListen(port, errno));
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  ::inet_pton(AF_INET, std::string(SandboxGateway::kHost).c_str(), &address.sin_addr);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    const int error = errno;
    ::close(fd);
    throw SandboxError(cannotListen(port, error));
  }
  return fd;
}

std::uint16_t boundPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

}  // namespace

std::string refusalText(int status) { return std::to_string(status) + ' ' + statusText(status) + '\n'; }

void endConnectionAfter(const httplib::Request& request, httplib::Response& response) {
  // httplib says so itself when the request asked for it or the gateway is stopping.
  if (!answerEndsConnection && request.get_header_value("Connection") != "close") {
    response.set_header("Connection", "close");
  }
  answerEndsConnection = true;
}

bool Router::answerOne(httplib::Stream& stream, bool endConnection, bool& connectionClosed) {
  answerEndsConnection = endConnection;
  const bool answered = process_request(stream, endConnection, connectionClosed, {});
  connectionClosed = connectionClosed || answerEndsConnection;
  return answered;
}

SandboxConnections::SandboxConnections(std::unique_ptr<Router> router, std::uint16_t port)
    : router_(std::move(router)), listener_(listenOnLoopback(port)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wake_ < 0) {
    ::close(listener_);
    throw SandboxError("cannot create an event descriptor: " + std::string(std::strerror(errno)));
  }
  port_ = boundPort(listener_);
  accepting_ = std::thread([this] { acceptAndReadHeads(); });
  for (std::size_t i = 0; i < SandboxGateway::kAnsweringThreads; ++i) {
    answering_.emplace_back([this] { answerRequests(); });
  }
}

SandboxConnections::~SandboxConnections() {
  stop();
  ::close(wake_);
}

void SandboxConnections::stop() {
  if (stopping_.exchange(true)) return;
  wake();
  haveWork_.notify_all();
  accepting_.join();
  for (auto& thread : answering_) thread.join();
  std::lock_guard lock(mutex_);
  ready_.clear();
  returned_.clear();
}

void SandboxConnections::wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof(one));
}

void SandboxConnections::acceptAndReadHeads() {
  std::list<Connection> waiting;  // for their heads, soonest deadline first
  std::vector<pollfd> polled;
  while (!stopping_) {
    const auto now = Clock::now();
    {
      std::lock_guard lock(mutex_);
      for (auto& connection : returned_) {
        // A kept-alive connection may already hold the next request's whole head.
        if (connection.headEnded()) {
          ready_.push_back(std::move(connection));
          haveWork_.notify_one();
        } else {
          connection.deadline = now + SandboxGateway::kHeadTimeout;
          waiting.push_back(std::move(connection));
        }
      }
      returned_.clear();
    }
    while (!waiting.empty() && waiting.front().deadline <= now) waiting.pop_front();

    // A negative descriptor is left out of the poll.
    const bool listening = now >= listenAgainAt_;
    polled.assign({{wake_, POLLIN, 0}, {listening ? listener_ : -1, POLLIN, 0}});
    for (const auto& connection : waiting) polled.push_back({connection.fd(), POLLIN, 0});
    std::optional<Clock::time_point> wakeAt;
    if (!waiting.empty()) wakeAt = waiting.front().deadline;
    if (!listening) wakeAt = std::min(wakeAt.value_or(listenAgainAt_), listenAgainAt_);
    int timeout = -1;
    if (wakeAt) timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(*wakeAt - now).count());
    if (::poll(polled.data(), polled.size(), timeout) < 0) continue;

    if (polled[0].revents != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const auto read = ::read(wake_, &count, sizeof(count));
    }
    auto entry = polled.begin() + 2;
    for (auto connection = waiting.begin(); connection != waiting.end(); ++entry) {
      if (entry->revents == 0) {
        ++connection;
      } else if (!connection->readAvailable()) {
        connection = waiting.erase(connection);
      } else if (connection->headEnded()) {
        {
          std::lock_guard lock(mutex_);
          ready_.push_back(std::move(*connection));
        }
        haveWork_.notify_one();
        connection = waiting.erase(connection);
      } else if (connection->unread.size() >= SandboxGateway::kMaximumHeadBytes) {
        refuseHeadTooLarge(*connection);
        connection = waiting.erase(connection);
      } else {
        ++connection;
      }
    }
    if (polled[1].revents != 0) acceptWaiting(waiting);
  }
  ::close(listener_);
}

void SandboxConnections::acceptWaiting(std::list<Connection>& waiting) {
  for (;;) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EMFILE && errno != ENFILE) return;  // none left
      // Out of descriptors: one waiting for its head makes way, or the listener rests a moment
      // rather than wake this thread again and again.
      if (waiting.empty()) {
        listenAgainAt_ = Clock::now() + std::chrono::milliseconds(100);
        return;
      }
      waiting.pop_front();
      continue;
    }
    if (open_ >= SandboxGateway::kMaximumConnections) {
      // The longest wait for a head is the likeliest a slow client's; a newcomer, a fresh request's.
      if (waiting.empty()) {
        ::close(fd);
        continue;
      }
      waiting.pop_front();
    }
    int yes = 1;
    // The head and the body of an answer are two writes; the second must not wait for an ACK.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof(yes));
    waiting.emplace_back(fd, open_).deadline = Clock::now() + SandboxGateway::kHeadTimeout;
  }
}

void SandboxConnections::refuseHeadTooLarge(const Connection& connection) {
  const std::string text = refusalText(431);
  const std::string answer = "HTTP/1.1 431 " + std::string(statusText(431)) +
                             "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                             std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n" + text;
  // Best effort: a client that does not take it at once does not get it.
  [[maybe_unused]] const auto sent = ::send(connection.fd(), answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

void SandboxConnections::answerRequests() {
  for (;;) {
    std::optional<Connection> connection;
    {
      std::unique_lock lock(mutex_);
      haveWork_.wait(lock, [this] { return stopping_ || !ready_.empty(); });
      if (stopping_) return;
      connection.emplace(std::move(ready_.front()));
      ready_.pop_front();
    }
    ConnectionStream stream(*connection, Clock::now() + SandboxGateway::kBodyTimeout);
    bool closed = false;
    const bool answered = router_->answerOne(stream, stopping_, closed);
    if (!answered || closed || stopping_) continue;
    stream.dropUsed();
    {
      std::lock_guard lock(mutex_);
      returned_.push_back(std::move(*connection));
    }
    wake();
  }
}

}  // namespace velquor::sandbox
