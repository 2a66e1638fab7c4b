#pragma once

#include <glib-object.h>

#include <utility>

namespace velquor::gtk {

// Owns one reference to a GObject. Floating references (new widgets) are sunk, so the holder
// is an owner like any other.
template <class T>
class GObjectRef {
 public:
  GObjectRef() = default;
  // Takes over a full reference that the caller already owns (a *_new() of a non-widget).
  static GObjectRef adopt(T* object) {
    GObjectRef ref;
    ref.object_ = object;
    return ref;
  }
  // Adds a reference of its own; sinks a floating one.
  static GObjectRef retain(T* object) {
    GObjectRef ref;
    ref.object_ = object ? static_cast<T*>(g_object_ref_sink(object)) : nullptr;
    return ref;
  }

  GObjectRef(const GObjectRef& other) : object_(other.object_ ? static_cast<T*>(g_object_ref(other.object_)) : nullptr) {}
  GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GObjectRef& operator=(GObjectRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~GObjectRef() {
    if (object_) g_object_unref(object_);
  }

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() { GObjectRef().swap(*this); }
  void swap(GObjectRef& other) noexcept { std::swap(object_, other.object_); }

 private:
  T* object_ = nullptr;
};

}  // namespace velquor::gtk
