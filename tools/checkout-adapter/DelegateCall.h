#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

namespace velquor::adapter {

// One call the app's delegate received.
struct DelegateCall {
  enum class Kind { completed, canceled, failed };
  Kind kind;
  std::optional<nlohmann::json> data;  // completed only
  std::weak_ptr<platform::UIViewController> controller;
  std::optional<platform::NSError> error = std::nullopt;  // failed only
};

}  // namespace velquor::adapter
