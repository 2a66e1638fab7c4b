#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquor::adapter {

enum class Library { kit, classic };

inline constexpr std::array<Library, 2> kLibraries{Library::kit, Library::classic};

// The name a caller passes: "kit" or "classic".
std::string libraryName(Library library);
// The library's module name: "VelquorKit" or "VelquorClassic".
std::string moduleName(Library library);
// Every libraryName, kit first.
std::vector<std::string> libraryNames();
// Either name of a library; none for anything else.
std::optional<Library> libraryNamed(std::string_view name);

}  // namespace velquor::adapter
