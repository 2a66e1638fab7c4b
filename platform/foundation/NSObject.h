#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace velquor::platform {

class NSObject;

// Keeps one observer registered; dropping it unregisters. Outliving the observed object is safe.
class VELQUOR_PLATFORM_EXPORT NSObservation {
 public:
  NSObservation() = default;
  NSObservation(NSObservation&&) noexcept = default;
  NSObservation& operator=(NSObservation&&) noexcept;
  NSObservation(const NSObservation&) = delete;
  NSObservation& operator=(const NSObservation&) = delete;
  ~NSObservation();

  void invalidate();

 private:
  friend class NSObject;
  struct Registry;
  NSObservation(std::weak_ptr<Registry> registry, std::uint64_t id) : registry_(std::move(registry)), id_(id) {}
  std::weak_ptr<Registry> registry_;
  std::uint64_t id_ = 0;
};

// Root of every object with identity. Objects live in std::shared_ptr (weak references are
// std::weak_ptr). Two runtime services stand in for the platform's object runtime:
// - selectors: target-action sends an action by name, which the receiver maps to a member;
// - change observation: a toolkit watches the model objects it renders and redraws on change.
class VELQUOR_PLATFORM_EXPORT NSObject : public std::enable_shared_from_this<NSObject> {
 public:
  NSObject();
  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;
  virtual ~NSObject();

  // Runs the member exposed under `selector`; false when the receiver has none.
  virtual bool performSelector(std::string_view selector);
  virtual bool respondsToSelector(std::string_view selector) const;

  // `observer` runs after each change of the object's observable state, on the main thread.
  [[nodiscard]] NSObservation addObserver(std::function<void(NSObject&)> observer);

 protected:
  void didChangeValue();

 private:
  std::shared_ptr<NSObservation::Registry> observers_;
};

template <class T>
std::shared_ptr<T> shared_from(T* object) {
  if (object == nullptr) return nullptr;
  return std::static_pointer_cast<T>(object->shared_from_this());
}

}  // namespace velquor::platform
