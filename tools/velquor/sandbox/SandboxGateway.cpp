#include "SandboxGateway.h"

#include "SandboxConnections.h"

#include <httplib.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
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

}  // namespace

SandboxGateway::SandboxGateway(SandboxOptions options) : options_(std::move(options)) {
  if (options_.latency < std::chrono::milliseconds::zero() || options_.latency > kMaximumLatency) {
    throw std::invalid_argument("the sandbox's latency must be 0 to " + std::to_string(kMaximumLatency.count()) + " ms");
  }
  transactionPrefix_ = std::random_device{}();
  auto router = std::make_unique<Router>();
  auto& server = *router;
  const std::string path(kPath);
  // A declared length over the limit is refused by httplib itself (413), which skips the body
  // without keeping it; chunked bodies are cut off by the receiver below.
  server.set_payload_max_length(kMaximumBodyBytes);
  // What the answer tells a client that keeps the connection.
  server.set_keep_alive_timeout(kHeadTimeout.count());

  // The reading handler: httplib would otherwise buffer the body and refuse form bodies over 8 KiB.
  server.Post(path, [this](const httplib::Request& request, httplib::Response& response,
                           const httplib::ContentReader& reader) {
    const auto receivedAt = Clock::now();
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
    holdAnswer(receivedAt);
    response.set_content(answer(received), "text/html; charset=utf-8");
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
  // Every refusal (httplib's own too) passes here: a short text body naming its status, and the
  // end of the connection.
  server.set_error_handler(httplib::Server::HandlerWithResponse(
      [this](const httplib::Request& request, httplib::Response& response) {
        endConnectionAfter(request, response);
        holdAnswer(Clock::now());
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(refusalText(response.status), "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
      }));

  connections_ = std::make_unique<SandboxConnections>(std::move(router), options_.port);
  port_ = connections_->port();
}

SandboxGateway::~SandboxGateway() { stop(); }

std::string SandboxGateway::endpoint() const {
  return "http://" + std::string(kHost) + ':' + std::to_string(port_) + std::string(kPath);
}

void SandboxGateway::stop() {
  {
    std::lock_guard hold(holdMutex_);
    stopping_ = true;
  }
  holdEnded_.notify_all();
  std::lock_guard lock(stopMutex_);
  connections_->stop();
}

void SandboxGateway::holdAnswer(Clock::time_point receivedAt) {
  if (options_.latency <= std::chrono::milliseconds::zero()) return;
  std::unique_lock hold(holdMutex_);
  holdEnded_.wait_until(hold, receivedAt + options_.latency, [this] { return stopping_; });
}

std::string SandboxGateway::answer(const ReceivedRequest& request) {
  std::string page = paymentPage(request.fields, request.transactionId, options_.autoResult);
  ++requestCount_;
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
