#pragma once

// Gateways that go wrong, on loopback: one that answers with an error status, one whose TLS
// certificate nobody trusts.

#include "CommandProcess.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

namespace e2e {

// Answers every POST with `status` and a page saying so; remembers when it last answered.
class ErrorStatusGateway {
 public:
  explicit ErrorStatusGateway(int status) {
    server_.set_keep_alive_max_count(1);
    server_.Post(".*", [this, status](const httplib::Request&, httplib::Response& response) {
      response.status = status;
      response.set_content("<h1>Gateway error " + std::to_string(status) + "</h1>", "text/html");
      answeredAt_ = std::chrono::steady_clock::now().time_since_epoch().count();
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~ErrorStatusGateway() {
    server_.stop();
    thread_.join();
  }
  std::string endpoint() const { return "http://127.0.0.1:" + std::to_string(port_) + "/v2/paymentrequest"; }
  // When the error was answered; nothing before the first request.
  std::optional<std::chrono::steady_clock::time_point> answeredAt() const {
    const auto ticks = answeredAt_.load();
    if (ticks == 0) return std::nullopt;
    return std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(ticks));
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<std::chrono::steady_clock::rep> answeredAt_{0};
};

// An HTTPS server on loopback with a self-signed certificate made for it (openssl's own).
class SelfSignedGateway {
 public:
  SelfSignedGateway()
      : directory_(std::filesystem::temp_directory_path() / ("velquor-tls-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(directory_);
    const auto key = (directory_ / "key.pem").string();
    const auto certificate = (directory_ / "certificate.pem").string();
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout '" + key +
                             "' -out '" + certificate + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    port_ = freePort();
    server_.emplace("openssl", std::vector<std::string>{"s_server", "-quiet", "-www", "-accept", std::to_string(port_),
                                                        "-cert", certificate, "-key", key});
    // Listening once a connection is accepted.
    for (int attempt = 0; attempt < 200 && !accepts(); ++attempt) std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ~SelfSignedGateway() {
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  std::string endpoint() const { return "https://127.0.0.1:" + std::to_string(port_) + "/v2/paymentrequest"; }

 private:
  static int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
  }
  bool accepts() const {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
  }

  std::filesystem::path directory_;
  int port_ = 0;
  std::optional<CommandProcess> server_;
};

}  // namespace e2e
