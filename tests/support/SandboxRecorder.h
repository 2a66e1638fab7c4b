#pragma once

// What a sandbox gateway was asked, kept for a test or a benchmark to look at afterwards: the
// gateway itself forgets each request once it has answered it.

#include "SandboxGateway.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velquor_testing {

// Installed through SandboxOptions::onRequest (see callback()); it must outlive the gateway. Keeps
// the latest `capacity` requests, so that a long run holds a bounded amount; the count goes on.
class SandboxRecorder {
 public:
  using Request = velquor::sandbox::ReceivedRequest;

  explicit SandboxRecorder(std::size_t capacity = 64) : capacity_(capacity) {
    if (capacity == 0) throw std::invalid_argument("a recorder keeps at least one request");
  }
  SandboxRecorder(const SandboxRecorder&) = delete;
  SandboxRecorder& operator=(const SandboxRecorder&) = delete;

  // For SandboxOptions::onRequest: records each request, then tells `next` (when given).
  std::function<void(const Request&)> callback(std::function<void(const Request&)> next = {}) {
    return [this, next = std::move(next)](const Request& request) {
      record(request);
      if (next) next(request);
    };
  }

  void record(const Request& request) {
    {
      std::lock_guard lock(mutex_);
      if (kept_.size() == capacity_) kept_.pop_front();
      kept_.push_back(request);
      ++count_;
    }
    arrived_.notify_all();
  }

  // Every request recorded so far, kept or not.
  std::size_t count() const {
    std::lock_guard lock(mutex_);
    return count_;
  }

  // The kept requests, oldest first.
  std::vector<Request> requests() const {
    std::lock_guard lock(mutex_);
    return {kept_.begin(), kept_.end()};
  }

  // The request number `number` (1 for the first), waiting up to `timeout` for it to arrive; empty
  // on timeout or when it is no longer kept. Throws std::invalid_argument for 0.
  std::optional<Request> waitForRequest(std::size_t number, std::chrono::milliseconds timeout) const {
    if (number == 0) throw std::invalid_argument("request numbers start at 1");
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, timeout, [&] { return count_ >= number; })) return std::nullopt;
    const std::size_t first = count_ - kept_.size() + 1;
    if (number < first) return std::nullopt;
    return kept_[number - first];
  }

 private:
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::deque<Request> kept_;
  std::size_t count_ = 0;
};

}  // namespace velquor_testing
