#pragma once

// What every toolkit that shows controllers in app windows decides the same way: which window
// shows a controller, what a dismissal takes away, and the screen's size before a window has one.

#include "CGGeometry.h"
#include "UIViewController.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace velquor::platform {

// A phone's portrait screen in points: the size the checkout lays out for until a window has one.
inline constexpr int kFallbackScreenWidth = 390;
inline constexpr int kFallbackScreenHeight = 844;

// A window of `width` × `height` as the screen, or the fallback while it has no size yet.
inline CGRect windowScreenBounds(int width, int height) {
  if (width <= 0 || height <= 0) return CGRectMake(0, 0, kFallbackScreenWidth, kFallbackScreenHeight);
  return CGRectMake(0, 0, width, height);
}

// The host (anything with `rootViewController()`) whose window shows `controller`: its root, or a
// root it was presented from. Null when the controller is in no window.
template <class Host>
std::shared_ptr<Host> hostShowing(const std::vector<std::shared_ptr<Host>>& hosts,
                                  std::shared_ptr<UIViewController> controller) {
  for (; controller; controller = controller->presentingViewController()) {
    for (const auto& host : hosts) {
      if (host->rootViewController() == controller) return host;
    }
  }
  return nullptr;
}

// The toolkit's warning when the presenting controller is in no window.
inline constexpr const char* kNotInAnyWindowWarning =
    "velquor: the presenting controller is not shown in any window; nothing is presented";

// Presents over the window showing `presenting`. As on the platform, a screen in no window cannot
// present: then nothing is shown, `refused` runs and the result is false.
template <class Host>
bool presentInWindow(const std::vector<std::shared_ptr<Host>>& hosts, const std::shared_ptr<UIViewController>& presenting,
                     const std::shared_ptr<UIViewController>& presented, bool animated,
                     std::function<void()> didPresent, const std::function<void()>& refused) {
  auto host = hostShowing(hosts, presenting);
  if (!host) {
    refused();
    return false;
  }
  return host->present(presented, animated, std::move(didPresent));
}

// Dismisses from the window showing `presenting`; with no such window there is nothing to take
// away, and `didDismiss` still runs, through `post` (on a later turn).
template <class Host, class Post>
void dismissInWindow(const std::vector<std::shared_ptr<Host>>& hosts, const std::shared_ptr<UIViewController>& presenting,
                     const std::shared_ptr<UIViewController>& presented, bool animated,
                     std::function<void()> didDismiss, Post post) {
  if (auto host = hostShowing(hosts, presenting)) {
    host->dismiss(presented, animated, std::move(didDismiss));
  } else {
    post(std::move(didDismiss));
  }
}

// `presented` and everything presented over it: what dismissing `presented` takes away.
class PresentedChain {
 public:
  explicit PresentedChain(const std::shared_ptr<UIViewController>& presented) {
    for (auto controller = presented; controller; controller = controller->presentedViewController()) {
      controllers_.push_back(controller.get());
    }
  }
  bool contains(const UIViewController* controller) const {
    return std::find(controllers_.begin(), controllers_.end(), controller) != controllers_.end();
  }

 private:
  std::vector<const UIViewController*> controllers_;
};

// Takes every entry (anything with a `controller`) that `chain` holds out of `entries`, handing it
// to `leaving` first.
template <class Entry, class Leaving>
void takeAway(std::vector<Entry>& entries, const PresentedChain& chain, Leaving leaving) {
  for (auto it = entries.begin(); it != entries.end();) {
    if (chain.contains(it->controller.get())) {
      leaving(*it);
      it = entries.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace velquor::platform
