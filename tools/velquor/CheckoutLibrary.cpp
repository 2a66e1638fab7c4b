#include "CheckoutLibrary.h"

#include "ClassicLibrary.h"
#include "CommandFailure.h"
#include "KitLibrary.h"

namespace velquor::tool {

std::vector<std::string> libraryNames() { return {"kit", "classic"}; }

std::unique_ptr<CheckoutLibrary> makeLibrary(const std::string& name) {
  if (name == "kit") return std::make_unique<KitLibrary>();
  if (name == "classic") return std::make_unique<ClassicLibrary>();
  throw CommandFailure(kExitUsage, "unknown library " + name);
}

}  // namespace velquor::tool
