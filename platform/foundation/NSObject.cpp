#include "NSObject.h"

#include <algorithm>

namespace velquor::platform {

struct NSObservation::Registry {
  struct Entry {
    std::uint64_t id;
    std::shared_ptr<std::function<void(NSObject&)>> observer;
  };
  std::vector<Entry> entries;
  std::uint64_t nextId = 1;
};

NSObservation& NSObservation::operator=(NSObservation&& other) noexcept {
  if (this != &other) {
    invalidate();
    registry_ = std::move(other.registry_);
    id_ = other.id_;
    other.id_ = 0;
  }
  return *this;
}

NSObservation::~NSObservation() { invalidate(); }

void NSObservation::invalidate() {
  if (auto registry = registry_.lock()) {
    std::erase_if(registry->entries, [this](const Registry::Entry& entry) { return entry.id == id_; });
  }
  registry_.reset();
  id_ = 0;
}

NSObject::NSObject() = default;
NSObject::~NSObject() = default;

bool NSObject::performSelector(std::string_view) { return false; }
bool NSObject::respondsToSelector(std::string_view) const { return false; }

NSObservation NSObject::addObserver(std::function<void(NSObject&)> observer) {
  if (!observers_) observers_ = std::make_shared<NSObservation::Registry>();
  const auto id = observers_->nextId++;
  observers_->entries.push_back({id, std::make_shared<std::function<void(NSObject&)>>(std::move(observer))});
  return NSObservation(observers_, id);
}

void NSObject::didChangeValue() {
  if (!observers_ || observers_->entries.empty()) return;
  // Observers may add or drop observations while being told; notify a snapshot.
  auto registry = observers_;
  std::vector<std::weak_ptr<std::function<void(NSObject&)>>> snapshot;
  snapshot.reserve(registry->entries.size());
  for (const auto& entry : registry->entries) snapshot.push_back(entry.observer);
  for (const auto& weak : snapshot) {
    if (auto observer = weak.lock()) (*observer)(*this);
  }
}

}  // namespace velquor::platform
