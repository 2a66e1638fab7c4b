#pragma once

#include "FormBody.h"
#include "PaymentPage.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velquor::sandbox {

class SandboxConnections;

// A payment request the gateway answered with a payment page. The gateway keeps it only while it
// answers: onRequest is where a caller takes what it wants to keep.
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
  // Called on an answering thread for each request answered with a page, after it is counted and
  // before the page is sent; several may run at once. It must not call stop() or destroy the
  // gateway. While it runs, it holds one of the kAnsweringThreads.
  std::function<void(const ReceivedRequest&)> onRequest;
  // Each answer (a page or a refusal) leaves this long after its request's head arrived, as from a
  // gateway across the internet: the page's first byte comes no sooner. At most kMaximumLatency.
  std::chrono::milliseconds latency{0};
};

// The port could not be bound (in use, or not permitted).
class SandboxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Plays the Velquor gateway on the loopback address for development and tests. The constructor
// binds 127.0.0.1 (never another address) and serves until stop() or destruction. POST
// /v2/paymentrequest with a form body gets a payment page; bodies over kMaximumBodyBytes get 413,
// other content types 415, other methods on that path 405, other paths 404. Every refusal ends its
// connection. Every member function is thread-safe.
//
// It holds at most one request's body, fields and page per answering thread, and forgets each
// request once answered. Slow or idle clients cannot hold it up, and it never starts more threads
// than one plus kAnsweringThreads, however many clients come:
// - One thread accepts connections and reads every request head (request line and headers) as it
//   trickles in, for all connections at once. A head must arrive whole, in at most
//   kMaximumHeadBytes (else 431), within kHeadTimeout of the connection opening or of the previous
//   answer on a kept-alive connection; otherwise the connection is closed. An idle connection is
//   therefore closed after kHeadTimeout too.
// - kAnsweringThreads answer requests whose head has arrived, in order of arrival. The body must
//   arrive within kBodyTimeout of the answering thread's taking the request, and the answer be
//   written within kAnswerTimeout; so one client holds an answering thread for at most about their
//   sum, plus the time onRequest takes.
// - At most kMaximumConnections are open. One more closes the connection that has waited longest
//   for its head (or itself, when every open connection has a complete head).
class SandboxGateway {
 public:
  static constexpr std::string_view kHost = "127.0.0.1";
  static constexpr std::string_view kPath = "/v2/paymentrequest";
  static constexpr std::size_t kMaximumBodyBytes = std::size_t{1} << 20;
  // Several times what a browser sends here (no cookies), twice httplib's limit on a request line.
  static constexpr std::size_t kMaximumHeadBytes = 16 * 1024;
  // A browser's head on loopback arrives in well under a millisecond.
  static constexpr std::chrono::seconds kHeadTimeout{3};
  // Generous for a mebibyte on loopback, even on a loaded machine under a sanitizer.
  static constexpr std::chrono::seconds kBodyTimeout{10};
  static constexpr std::chrono::seconds kAnswerTimeout{10};
  // As many as httplib's own pool had: a browser opens a few connections, tests hold some answers.
  static constexpr std::size_t kAnsweringThreads = 8;
  // Far below the usual limit of 1024 descriptors, far above what a browser and a test open.
  static constexpr std::size_t kMaximumConnections = 256;
  // Well inside the time a request may hold an answering thread.
  static constexpr std::chrono::milliseconds kMaximumLatency{5000};

  // Throws SandboxError when the port cannot be bound, std::invalid_argument for a latency out of range.
  explicit SandboxGateway(SandboxOptions options = {});
  ~SandboxGateway();
  SandboxGateway(const SandboxGateway&) = delete;
  SandboxGateway& operator=(const SandboxGateway&) = delete;

  std::uint16_t port() const noexcept { return port_; }
  // "http://127.0.0.1:PORT/v2/paymentrequest"
  std::string endpoint() const;

  // How many requests were answered with a payment page so far.
  std::size_t requestCount() const noexcept { return requestCount_; }

  // Stops accepting connections, closes those waiting for a head or for an answering thread,
  // finishes the requests being answered and joins the threads. Idempotent.
  void stop();

 private:
  // Counts `request`, tells the callback and returns the page to answer it with.
  std::string answer(const ReceivedRequest& request);
  std::string nextTransactionId();
  // Waits until `receivedAt` plus the latency, or until stop().
  void holdAnswer(std::chrono::steady_clock::time_point receivedAt);

  SandboxOptions options_;
  std::uint16_t port_ = 0;
  std::uint32_t transactionPrefix_ = 0;
  std::atomic<std::uint32_t> transactionCounter_{0};
  std::atomic<std::size_t> requestCount_{0};
  std::mutex stopMutex_;
  std::mutex holdMutex_;
  std::condition_variable holdEnded_;
  bool stopping_ = false;
  // Last: its threads call answer(), so it goes first.
  std::unique_ptr<SandboxConnections> connections_;
};

}  // namespace velquor::sandbox
