#include "SandboxGateway.h"

#include <httplib.h>

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

namespace velquor::sandbox {

namespace {

constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded";

bool isFormContentType(std::string_view header) {
  const auto mediaType = header.substr(0, header.find(';'));
  const auto first = mediaType.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const auto trimmed = mediaType.substr(first, mediaType.find_last_not_of(" \t") - first + 1);
  if (trimmed.size() != kFormContentType.size()) return false;
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kFormContentType[i]) return false;
  }
  return true;
}

const char* statusText(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    default: return "Error";
  }
}

// Only SO_REUSEADDR: httplib's default sets SO_REUSEPORT, which would let a second server bind a
// port that is already in use and share its connections.
void reuseAddressOnly(socket_t sock) {
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

}  // namespace

SandboxGateway::SandboxGateway(SandboxOptions options)
    : options_(std::move(options)), server_(std::make_unique<httplib::Server>()) {
  transactionPrefix_ = std::random_device{}();
  auto& server = *server_;
  const std::string host(kHost);
  const std::string path(kPath);
  server.set_socket_options(reuseAddressOnly);
  // A declared length over the limit is refused by httplib itself (413), which skips the body
  // without keeping it; chunked bodies are cut off by the receiver below.
  server.set_payload_max_length(kMaximumBodyBytes);

  // The reading handler: httplib would otherwise buffer the body and refuse form bodies over 8 KiB.
  server.Post(path, [this](const httplib::Request& request, httplib::Response& response,
                           const httplib::ContentReader& reader) {
    const auto receivedAt = std::chrono::steady_clock::now();
    std::string body;
    bool tooLarge = false;
    const bool complete = reader([&](const char* data, std::size_t length) {
      if (length > kMaximumBodyBytes - body.size()) {
        tooLarge = true;
        return false;
      }
      body.append(data, length);
      return true;
    });
    if (!complete) {
      response.status = tooLarge || response.status == 413 ? 413 : 400;
      // What is left of the body is not read: the connection cannot carry another request.
      response.set_header("Connection", "close");
      return;
    }
    if (!isFormContentType(request.get_header_value("Content-Type"))) {
      response.status = 415;
      return;
    }
    ReceivedRequest received;
    received.fields = parseFormBody(body);
    received.body = std::move(body);
    received.userAgent = request.get_header_value("User-Agent");
    received.transactionId = nextTransactionId();
    received.receivedAt = receivedAt;
    response.set_header("Cache-Control", "no-store");
    response.set_content(accept(std::move(received)), "text/html; charset=utf-8");
  });
  const auto refuseMethod = [](const httplib::Request&, httplib::Response& response) {
    response.status = 405;
    response.set_header("Allow", "POST");
  };
  server.Get(path, refuseMethod);
  server.Put(path, refuseMethod);
  server.Patch(path, refuseMethod);
  server.Delete(path, refuseMethod);
  server.Options(path, refuseMethod);
  // Refusals get a short text body naming their status.
  server.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(std::to_string(response.status) + ' ' + statusText(response.status) + '\n',
                             "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
      }));

  errno = 0;
  if (options_.port == 0) {
    const int chosen = server.bind_to_any_port(host);
    if (chosen > 0) port_ = static_cast<std::uint16_t>(chosen);
  } else if (server.bind_to_port(host, options_.port)) {
    port_ = options_.port;
  }
  if (port_ == 0) {
    const int error = errno;
    std::string message = "cannot listen on " + host + ':' + std::to_string(options_.port);
    message += error != 0 ? std::string(": ") + std::strerror(error) : std::string(": the port is not available");
    throw SandboxError(message);
  }

  thread_ = std::thread([this] {
    server_->listen_after_bind();
    listenEnded_ = true;
  });
  // stop() only interrupts a server that is already running: wait until it is.
  while (!server.is_running() && !listenEnded_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

SandboxGateway::~SandboxGateway() { stop(); }

std::string SandboxGateway::endpoint() const {
  return "http://" + std::string(kHost) + ':' + std::to_string(port_) + std::string(kPath);
}

std::vector<ReceivedRequest> SandboxGateway::requests() const {
  std::lock_guard lock(requestsMutex_);
  return requests_;
}

std::size_t SandboxGateway::requestCount() const {
  std::lock_guard lock(requestsMutex_);
  return requests_.size();
}

std::optional<ReceivedRequest> SandboxGateway::waitForRequest(std::size_t number,
                                                              std::chrono::milliseconds timeout) const {
  if (number == 0) throw std::invalid_argument("request numbers start at 1");
  std::unique_lock lock(requestsMutex_);
  if (!requestArrived_.wait_for(lock, timeout, [&] { return requests_.size() >= number; })) return std::nullopt;
  return requests_[number - 1];
}

void SandboxGateway::stop() {
  std::lock_guard lock(stopMutex_);
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string SandboxGateway::accept(ReceivedRequest request) {
  std::string page = paymentPage(request.fields, request.transactionId, options_.autoResult);
  {
    std::lock_guard lock(requestsMutex_);
    requests_.push_back(request);
  }
  requestArrived_.notify_all();
  if (options_.onRequest) options_.onRequest(request);
  return page;
}

std::string SandboxGateway::nextTransactionId() {
  char id[32];
  std::snprintf(id, sizeof(id), "sbx_%08x%08x", static_cast<unsigned>(transactionPrefix_),
                static_cast<unsigned>(++transactionCounter_));
  return id;
}

}  // namespace velquor::sandbox
