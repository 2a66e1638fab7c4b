#pragma once

#include "FormBody.h"
#include "PaymentPage.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace velquor::sandbox {

// A payment request the gateway answered with a payment page.
struct ReceivedRequest {
  FormFields fields;                                // parsed from the body, in posted order
  std::string body;                                 // the raw body
  std::string userAgent;                            // the User-Agent header, empty when absent
  std::string transactionId;                        // the id the page's results carry
  std::chrono::steady_clock::time_point receivedAt; // when the request's headers had arrived
};

struct SandboxOptions {
  std::uint16_t port = 0;  // 0: a free port chosen by the system
  AutoResult autoResult = AutoResult::none;
  // Called on the serving thread for each recorded request, after it is recorded and before the
  // page is sent. It must not call stop() or destroy the gateway.
  std::function<void(const ReceivedRequest&)> onRequest;
};

// The port could not be bound (in use, or not permitted).
class SandboxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Plays the Velquor gateway on the loopback address for development and tests. The constructor
// binds 127.0.0.1 (never another address) and serves on its own thread until stop() or
// destruction. POST /v2/paymentrequest with a form body gets a payment page; bodies over
// kMaximumBodyBytes get 413, other content types 415, other methods on that path 405, other
// paths 404. Every member function is thread-safe.
class SandboxGateway {
 public:
  static constexpr std::string_view kHost = "127.0.0.1";
  static constexpr std::string_view kPath = "/v2/paymentrequest";
  static constexpr std::size_t kMaximumBodyBytes = std::size_t{1} << 20;

  // Throws SandboxError when the port cannot be bound.
  explicit SandboxGateway(SandboxOptions options = {});
  ~SandboxGateway();
  SandboxGateway(const SandboxGateway&) = delete;
  SandboxGateway& operator=(const SandboxGateway&) = delete;

  std::uint16_t port() const noexcept { return port_; }
  // "http://127.0.0.1:PORT/v2/paymentrequest"
  std::string endpoint() const;

  // The requests recorded so far, in order of arrival.
  std::vector<ReceivedRequest> requests() const;
  std::size_t requestCount() const;
  // The request number `number` (1 for the first), waiting up to `timeout` for it to arrive;
  // empty on timeout. Throws std::invalid_argument for 0.
  std::optional<ReceivedRequest> waitForRequest(std::size_t number, std::chrono::milliseconds timeout) const;

  // Stops accepting connections, finishes the requests in progress and joins the serving thread.
  // Idempotent.
  void stop();

 private:
  // Records `request`, tells the callback and returns the page to answer it with.
  std::string accept(ReceivedRequest request);
  std::string nextTransactionId();

  SandboxOptions options_;
  std::unique_ptr<httplib::Server> server_;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> listenEnded_{false};
  std::mutex stopMutex_;
  std::uint32_t transactionPrefix_ = 0;
  std::atomic<std::uint32_t> transactionCounter_{0};
  mutable std::mutex requestsMutex_;
  mutable std::condition_variable requestArrived_;
  std::vector<ReceivedRequest> requests_;
};

}  // namespace velquor::sandbox
