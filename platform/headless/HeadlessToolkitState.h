#pragma once

#include <velquor/headless/HeadlessToolkit.h>

#include <deque>
#include <functional>
#include <vector>

namespace velquor::headless {

// What the toolkit shares with its web views, which may outlive it.
struct HeadlessToolkitState {
  HeadlessToolkitOptions options;
  std::deque<std::function<void()>> tasks;
  std::vector<HeadlessWebView*> webViews;
  std::vector<HeadlessToolkit::Transition> transitions;
  // Presentations whose slide has begun and not ended.
  std::vector<std::weak_ptr<platform::UIViewController>> sliding;
  // The app screens standing for open windows.
  std::vector<std::weak_ptr<platform::UIViewController>> appScreens;
};

}  // namespace velquor::headless
