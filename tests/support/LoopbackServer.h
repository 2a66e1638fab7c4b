#pragma once

// A web server on loopback for the tests of the real toolkits.

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velquor_testing {

// A port on loopback with nothing listening on it.
inline int unusedLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// A small web server on loopback, on its own thread, recording what it is asked.
class LoopbackServer {
 public:
  struct Request {
    std::string method;
    std::string path;
    std::string userAgent;
    std::string body;
    std::string origin;
    bool hasReferer = false;
  };

  LoopbackServer() {
    // One request per connection: an idle kept-alive connection would hold stop() for seconds.
    server_.set_keep_alive_max_count(1);
    server_.set_logger([this](const httplib::Request& request, const httplib::Response&) {
      std::lock_guard lock(mutex_);
      requests_.push_back({request.method, request.path, request.get_header_value("User-Agent"), request.body,
                           request.get_header_value("Origin"), request.has_header("Referer")});
    });
  }
  ~LoopbackServer() { stop(); }

  httplib::Server& routes() { return server_; }

  void start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    // Bound and listening already: connections wait until the thread accepts them.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  void stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }

  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::vector<Request> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::size_t requestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    std::size_t count = 0;
    for (const auto& request : requests_) count += request.path == path ? 1 : 0;
    return count;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
};

}  // namespace velquor_testing
