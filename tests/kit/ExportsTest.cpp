// The shared library as an app links it: plain C names for the version symbols, internals hidden.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Library {
  void* handle = dlopen(VELQUORKIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ~Library() {
    if (handle) dlclose(handle);
  }
};

TEST(Exports, VersionSymbolsHavePlainNamesAndTheirValues) {
  Library library;
  ASSERT_NE(library.handle, nullptr) << dlerror();
  const auto* number = static_cast<const double*>(dlsym(library.handle, "VelquorKitVersionNumber"));
  const auto* text = static_cast<const unsigned char*>(dlsym(library.handle, "VelquorKitVersionString"));
  ASSERT_TRUE(number && text);
  EXPECT_EQ(*number, 1.0);
  EXPECT_STREQ(reinterpret_cast<const char*>(text), "@(#)PROGRAM:VelquorKit  PROJECT:VelquorKit-1\n");
}

// The library's dynamic symbols, demangled, as the linker and dlsym see them.
std::vector<std::string> exportedSymbols() {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      popen("nm -D --defined-only --demangle --format=just-symbols '" VELQUORKIT_LIBRARY_PATH "'", "r"), &pclose);
  std::vector<std::string> names;
  if (!pipe) return names;
  std::array<char, 4096> line{};
  while (std::fgets(line.data(), line.size(), pipe.get())) {
    std::string name(line.data());
    while (!name.empty() && name.back() == '\n') name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// Every VelquorKit name a symbol mentions is one of the public ones: the controller, the page
// builder, the field table and every other internal stay hidden whatever their signatures.
TEST(Exports, EverySymbolOfTheLibraryIsOneOfItsPublicNames) {
  const std::set<std::string> publicNames = {"Velquor",         "VelquorDelegate", "VelquorFailureDelegate",
                                             "VelquorParams",   "VelquorCheckoutOptions", "to_json",
                                             "from_json"};
  const auto names = exportedSymbols();
  ASSERT_GT(names.size(), 5u) << "nm gave nothing for " VELQUORKIT_LIBRARY_PATH;
  bool launcher = false;
  for (const auto& name : names) {
    launcher = launcher || name.starts_with("VelquorKit::Velquor::presentVelquorContorller(");
    for (auto at = name.find("VelquorKit::"); at != std::string::npos; at = name.find("VelquorKit::", at + 1)) {
      auto end = at + std::strlen("VelquorKit::");
      while (end < name.size() && (std::isalnum(static_cast<unsigned char>(name[end])) || name[end] == '_')) ++end;
      const auto entity = name.substr(at + std::strlen("VelquorKit::"), end - at - std::strlen("VelquorKit::"));
      EXPECT_TRUE(publicNames.contains(entity)) << entity << " in " << name;
    }
  }
  EXPECT_TRUE(launcher) << "the launcher is exported";
}

}  // namespace
