#pragma once

#include "SandboxConnection.h"

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velquor::sandbox {

// httplib's parsing and routing, fed from our own connections.
class Router : public httplib::Server {
 public:
  // Reads one request from `stream` and writes its answer; false when either failed.
  bool answerOne(httplib::Stream& stream, bool endConnection, bool& connectionClosed);
};

// Makes the connection of the request being answered on this thread end with the answer (for the
// router's handlers).
void endConnectionAfter(const httplib::Request& request, httplib::Response& response);

// The short text body of a refusal with `status`.
std::string refusalText(int status);

// The accepting thread, which waits for every connection's head at once, and the answering
// threads, which take connections whose head has arrived. Throws SandboxError when the port cannot
// be bound.
class SandboxConnections {
 public:
  SandboxConnections(std::unique_ptr<Router> router, std::uint16_t port);
  ~SandboxConnections();
  SandboxConnections(const SandboxConnections&) = delete;
  SandboxConnections& operator=(const SandboxConnections&) = delete;

  std::uint16_t port() const { return port_; }

  void stop();

 private:
  void wake();
  void acceptAndReadHeads();
  void acceptWaiting(std::list<Connection>& waiting);
  static void refuseHeadTooLarge(const Connection& connection);
  void answerRequests();

  std::unique_ptr<Router> router_;
  int listener_;
  int wake_;
  std::uint16_t port_ = 0;
  Clock::time_point listenAgainAt_;  // the accepting thread's own
  std::atomic<bool> stopping_{false};
  std::atomic<std::size_t> open_{0};
  std::mutex mutex_;
  std::condition_variable haveWork_;
  std::deque<Connection> ready_;      // whole head arrived, for the answering threads
  std::vector<Connection> returned_;  // answered and kept alive, back to the accepting thread
  std::thread accepting_;
  std::vector<std::thread> answering_;
};

}  // namespace velquor::sandbox
