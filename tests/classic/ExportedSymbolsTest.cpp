// The library's dynamic symbol table, read the way an app's linker and dlsym see it.

#include "VelquorBuildConfig.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kLibrary = VELQUOR_CLASSIC_LIBRARY;

std::string run(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  if (!pipe) return {};
  std::string output;
  std::array<char, 4096> buffer{};
  while (const auto count = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) output.append(buffer.data(), count);
  return output;
}

// Defined dynamic symbols, as the linker sees them: mangled name -> nm's type letter.
std::map<std::string, char> definedSymbols() {
  std::map<std::string, char> symbols;
  std::istringstream lines(run("nm -D --defined-only --format=posix '" + kLibrary + "'"));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);  // "NAME TYPE VALUE [SIZE]"
    std::string name, type;
    if (fields >> name >> type && type.size() == 1) symbols[name] = type[0];
  }
  return symbols;
}

// The same names demangled, for reading.
std::vector<std::string> demangledSymbols() {
  std::vector<std::string> names;
  std::istringstream lines(run("nm -D --defined-only --demangle --format=just-symbols '" + kLibrary + "'"));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

const std::map<std::string, char> kPlainNames = {
    {"VelquorParamsFromData", 'T'}, {"VelquorParamsFromJSON", 'T'}, {"VelquorParamsToData", 'T'},
    {"VelquorParamsToJSON", 'T'},   {"kAlertButtonNo", 'R'},        {"kAlertButtonYes", 'R'},
    {"kAlertMessage", 'R'},         {"kJavaScriptCallbackName", 'R'}, {"kNavigationTitle", 'R'},
    {"kPaymentURL", 'R'},           {"kStoryBoardName", 'R'},       {"kVelquorControllerIdentifier", 'R'},
    {"kUserAgent", 'R'},            {"VelquorClassicVersionNumber", 'R'}, {"VelquorClassicVersionString", 'R'},
};

TEST(ExportedSymbols, ThePlainNamesAreExactlyTheFourFunctionsTheNineConstantsAndTheVersion) {
  const auto symbols = definedSymbols();
  ASSERT_FALSE(symbols.empty()) << "nm gave nothing for " << kLibrary;
  std::map<std::string, char> plain;
  for (const auto& [name, type] : symbols) {
    // Sanitizer builds add their own bookkeeping symbols beside each global.
    if (name.starts_with("__asan") || name.starts_with("__odr_asan") || name.starts_with("__ubsan")) continue;
    if (!name.starts_with("_Z")) plain.emplace(name, type);
  }
  EXPECT_EQ(plain, kPlainNames);
}

TEST(ExportedSymbols, ShowNothingOfTheLibrarysInternalHelpers) {
  const auto names = demangledSymbols();
  ASSERT_GT(names.size(), 15u);
  for (const auto& name : names) {
    for (const char* internal : {"(anonymous namespace)", "paymentFormPage", "kStoryboard", "shared_from", "kProperties",
                                 "kPageFields", "VelquorKit::"}) {
      EXPECT_EQ(name.find(internal), std::string::npos) << name;
    }
  }
  // Nothing of the toolkit contract's own or of the JSON library's own is defined here (template
  // instantiations over their types, as std::shared_ptr<velquor::platform::WKWebView>, may be).
  for (const auto& [name, type] : definedSymbols()) {
    for (const char* foreign : {"_ZN7velquor8platform", "_ZNK7velquor8platform", "_ZTVN7velquor8platform",
                                "_ZTIN7velquor8platform", "_ZTSN7velquor8platform", "_ZN8nlohmann", "_ZNK8nlohmann",
                                "_ZTVN8nlohmann", "_ZTIN8nlohmann"}) {
      EXPECT_FALSE(name.starts_with(foreign)) << name;
    }
  }
}

TEST(ExportedSymbols, TheLibraryLinksTheToolkitContractAndNothingOfVelquorKit) {
  const auto dynamic = run("readelf -d '" + kLibrary + "'");
  EXPECT_NE(dynamic.find("libVelquorPlatform.so"), std::string::npos) << dynamic;
  EXPECT_EQ(dynamic.find("libVelquorKit"), std::string::npos) << dynamic;
}

TEST(ExportedSymbols, AreFoundByNameAtRunTimeWithTheirValues) {
  void* library = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const auto& [name, type] : kPlainNames) EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  EXPECT_STREQ(static_cast<const char*>(dlsym(library, "kPaymentURL")), "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest");
  EXPECT_STREQ(static_cast<const char*>(dlsym(library, "kStoryBoardName")), "storyBoardName");
  EXPECT_EQ(*static_cast<const double*>(dlsym(library, "VelquorClassicVersionNumber")), 1.0);
  EXPECT_STREQ(static_cast<const char*>(dlsym(library, "VelquorClassicVersionString")),
               "@(#)PROGRAM:VelquorClassic  PROJECT:VelquorKit-1\n");
  dlclose(library);
}

}  // namespace
