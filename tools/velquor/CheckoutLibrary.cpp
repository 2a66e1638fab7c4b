#include "CheckoutLibrary.h"

#include "CommandFailure.h"
#include "KitLibrary.h"

namespace velquor::tool {

std::vector<std::string> libraryNames() { return {"kit"}; }

std::unique_ptr<CheckoutLibrary> makeLibrary(const std::string& name) {
  if (name == "kit") return std::make_unique<KitLibrary>();
  throw CommandFailure(kExitUsage, "unknown library " + name);
}

}  // namespace velquor::tool
