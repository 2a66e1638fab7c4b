#include "CheckoutLibraryNames.h"

namespace velquor::adapter {

std::string libraryName(Library library) { return library == Library::kit ? "kit" : "classic"; }

std::string moduleName(Library library) { return library == Library::kit ? "VelquorKit" : "VelquorClassic"; }

std::vector<std::string> libraryNames() {
  std::vector<std::string> names;
  for (const auto library : kLibraries) names.emplace_back(libraryName(library));
  return names;
}

std::optional<Library> libraryNamed(std::string_view name) {
  for (const auto library : kLibraries) {
    if (name == libraryName(library) || name == moduleName(library)) return library;
  }
  return std::nullopt;
}

}  // namespace velquor::adapter
