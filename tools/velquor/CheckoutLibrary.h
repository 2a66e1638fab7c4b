#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquor::tool {

// What the app side of a checkout hears from the library's delegate. With `failed` set, the
// delegate is also the library's failure delegate (the app opted in to failure reports).
struct CheckoutEvents {
  std::function<void(const std::shared_ptr<platform::UIViewController>&, const std::optional<nlohmann::json>&)> completed;
  std::function<void(const std::shared_ptr<platform::UIViewController>&)> canceled;
  std::function<void(const std::shared_ptr<platform::UIViewController>&, const platform::NSError&)> failed;
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
  // chooses the default one. Trusted origins go to the launcher's options (none: as without).
  // Throws CommandFailure (64) for a trusted origin the library refuses.
  virtual void present(const std::shared_ptr<platform::UIViewController>& screen,
                       const std::optional<std::string>& endpoint, CheckoutEvents events,
                       const std::vector<std::string>& trustedOrigins = {}) = 0;
};

std::vector<std::string> libraryNames();
// An error as one JSON object: domain, code, description, and the rest of its user info (an
// underlying error as such an object, under "underlyingError").
nlohmann::ordered_json errorJSON(const platform::NSError& error);
// Throws CommandFailure (64) for a name that is not one of libraryNames().
std::unique_ptr<CheckoutLibrary> makeLibrary(const std::string& name);

}  // namespace velquor::tool
