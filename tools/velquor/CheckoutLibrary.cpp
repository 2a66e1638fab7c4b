#include "CheckoutLibrary.h"

#include "ClassicLibrary.h"
#include "CommandFailure.h"
#include "KitLibrary.h"

#include <type_traits>
#include <variant>

namespace velquor::tool {

std::vector<std::string> libraryNames() { return {"kit", "classic"}; }

nlohmann::ordered_json errorJSON(const platform::NSError& error) {
  nlohmann::ordered_json json{{"domain", error.domain()}, {"code", error.code()}, {"description", error.localizedDescription()}};
  for (const auto& [key, value] : error.userInfo()) {
    if (key == platform::NSLocalizedDescriptionKey) continue;
    const std::string name = key == platform::NSUnderlyingErrorKey                ? "underlyingError"
                             : key == platform::NSURLErrorFailingURLStringErrorKey ? "url"
                                                                                   : key;
    std::visit(
        [&](const auto& item) {
          using Item = std::decay_t<decltype(item)>;
          if constexpr (std::is_same_v<Item, std::shared_ptr<const platform::NSError>>) {
            if (item) json[name] = errorJSON(*item);
          } else if constexpr (std::is_same_v<Item, platform::NSException>) {
            json[name] = item.name() + ": " + item.reason();
          } else {
            json[name] = item;
          }
        },
        value);
  }
  return json;
}

std::unique_ptr<CheckoutLibrary> makeLibrary(const std::string& name) {
  if (name == "kit") return std::make_unique<KitLibrary>();
  if (name == "classic") return std::make_unique<ClassicLibrary>();
  throw CommandFailure(kExitUsage, "unknown library " + name);
}

}  // namespace velquor::tool
