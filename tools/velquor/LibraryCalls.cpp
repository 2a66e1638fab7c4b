#include "LibraryCalls.h"

#include "CommandFailure.h"

#include <ParamsError.h>

#include <stdexcept>

namespace velquor::tool {

std::unique_ptr<adapter::CheckoutLibrary> openLibrary(const std::string& name) {
  const auto library = adapter::libraryNamed(name);
  if (!library || name != adapter::libraryName(*library)) throw CommandFailure(kExitUsage, "unknown library " + name);
  return adapter::makeCheckoutLibrary(*library);
}

void loadParams(adapter::CheckoutLibrary& library, std::string_view document) {
  try {
    library.loadParams(document);
  } catch (const adapter::ParamsError& error) {
    throw CommandFailure(kExitDataError, singleLine(error.what()));
  }
}

std::string encodedParams(const adapter::CheckoutLibrary& library) {
  try {
    return library.encodedParams();
  } catch (const adapter::ParamsError& error) {
    throw CommandFailure(kExitDataError, singleLine(error.what()));
  }
}

void launch(adapter::CheckoutLibrary& library, const std::shared_ptr<platform::UIViewController>& screen,
            const std::optional<std::string>& endpoint) {
  try {
    library.launch(screen, endpoint);
  } catch (const std::invalid_argument& error) {
    throw CommandFailure(kExitUsage, singleLine(error.what()));
  }
}

}  // namespace velquor::tool
