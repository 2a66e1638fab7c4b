#pragma once

#include <velquor/platform/UIViewController.h>

#include <chrono>
#include <thread>

namespace velquor_testing {

// A screen whose view takes a while to load, as one with a web view does.
struct SlowScreen : velquor::platform::UIViewController {
  explicit SlowScreen(std::chrono::milliseconds loading) : loading(loading) {}
  void loadView() override {
    std::this_thread::sleep_for(loading);
    UIViewController::loadView();
  }
  std::chrono::milliseconds loading;
};

}  // namespace velquor_testing
