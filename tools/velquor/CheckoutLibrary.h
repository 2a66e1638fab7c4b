#pragma once

#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquor::tool {

// What the app side of a checkout hears from the library's delegate.
struct CheckoutEvents {
  std::function<void(const std::shared_ptr<platform::UIViewController>&, const std::optional<nlohmann::json>&)> completed;
  std::function<void(const std::shared_ptr<platform::UIViewController>&)> canceled;
};

// One of the two libraries, driven the way an app drives it.
class CheckoutLibrary {
 public:
  virtual ~CheckoutLibrary() = default;

  // Decodes a parameters document with the library's own decoding. Throws CommandFailure (65).
  virtual void loadParams(std::string_view document) = 0;
  // The loaded parameters as the library encodes them.
  virtual std::string encodedParams() const = 0;
  // Presents the checkout through the library's launcher; no endpoint means the launcher that
  // chooses the default one.
  virtual void present(const std::shared_ptr<platform::UIViewController>& screen,
                       const std::optional<std::string>& endpoint, CheckoutEvents events) = 0;
};

std::vector<std::string> libraryNames();
// Throws CommandFailure (64) for a name that is not one of libraryNames().
std::unique_ptr<CheckoutLibrary> makeLibrary(const std::string& name);

}  // namespace velquor::tool
