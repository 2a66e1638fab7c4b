#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace velquor::sandbox {

using Clock = std::chrono::steady_clock;

// Waits until `fd` is ready for `events` or `deadline` passes: > 0 ready (or hung up), 0 timed out,
// < 0 failed.
int awaitSocket(int fd, short events, Clock::time_point deadline);

// An accepted socket with what has been read from it and not yet used: the part of a head (and
// perhaps of a body) read while waiting for the head to end. Closes the socket when it goes.
class Connection {
 public:
  Connection(int fd, std::atomic<std::size_t>& openCount) : fd_(fd), openCount_(&openCount) { ++openCount; }
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&&) = delete;
  ~Connection();

  int fd() const { return fd_; }

  // Reads what has arrived, up to kMaximumHeadBytes unread in all; false when the peer has closed
  // the connection or it failed.
  bool readAvailable();

  // The head's end, searched for only in what arrived since the last look.
  bool headEnded();

  std::string unread;
  std::size_t scanned = 0;
  Clock::time_point deadline;  // for the head to end

 private:
  int fd_;
  std::atomic<std::size_t>* openCount_;
};

// One request's worth of httplib's stream over a connection: the bytes already read first, then
// the socket, every read by one deadline and the answer by another.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(Connection& connection, Clock::time_point readDeadline)
      : connection_(connection), readDeadline_(readDeadline) {}

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return connection_.fd(); }

  // Leaves in the connection only what this request did not use: the start of the next one.
  void dropUsed();

 private:
  template <typename Operation>
  ssize_t transfer(short events, Clock::time_point deadline, Operation operation);
  Clock::time_point writeDeadline() const;
  template <typename Query>
  void addressOf(Query query, std::string& ip, int& port) const;

  Connection& connection_;
  Clock::time_point readDeadline_;
  std::optional<Clock::time_point> writeDeadline_;
  bool readSinceWrite_ = false;
  std::size_t used_ = 0;
};

}  // namespace velquor::sandbox
