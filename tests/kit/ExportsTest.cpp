// The shared library as an app links it: plain C names for the version symbols, internals hidden.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

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

TEST(Exports, TheCheckoutControllerAndThePageBuilderAreNotExported) {
  Library library;
  ASSERT_NE(library.handle, nullptr) << dlerror();
  EXPECT_EQ(dlsym(library.handle, "_ZN10VelquorKit15paymentFormPageB5cxx11ERKNS_13VelquorParamsESt17basic_string_viewIcSt11char_traitsIcEE"), nullptr);
  EXPECT_EQ(dlsym(library.handle, "_ZTIN10VelquorKit21VelquorViewControllerE"), nullptr);
  EXPECT_NE(dlsym(library.handle, "_ZN10VelquorKit7Velquor24presentVelquorContorllerERKSt10shared_ptrIN7velquor8platform16UIViewControllerEERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERKNS_13VelquorParamsERKS1_INS_15VelquorDelegateEE"), nullptr);
}

}  // namespace
