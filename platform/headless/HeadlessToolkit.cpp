#include "HeadlessToolkit.h"

#include "HeadlessToolkitState.h"

#include <velquor/platform/KeyCommands.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WindowPresentations.h>

#include <algorithm>

namespace velquor::headless {

using namespace velquor::platform;

HeadlessToolkit::HeadlessToolkit(CGRect screenBounds) : HeadlessToolkit(HeadlessToolkitOptions{.screenBounds = screenBounds}) {}

HeadlessToolkit::HeadlessToolkit(HeadlessToolkitOptions options) : state_(std::make_shared<HeadlessToolkitState>()) {
  state_->options = options;
}

HeadlessToolkit::~HeadlessToolkit() {
  // Tasks may hold the last references to screens; drop them while this toolkit is still installed.
  auto tasks = std::move(state_->tasks);
  tasks.clear();
}

std::shared_ptr<UIViewController> HeadlessToolkit::makeAppScreen() {
  auto screen = std::make_shared<UIViewController>();
  screen->view()->setBackgroundColor(UIColor::whiteColor());
  std::erase_if(state_->appScreens, [](const auto& open) { return open.expired(); });
  state_->appScreens.push_back(screen);
  return screen;
}

void HeadlessToolkit::closeAppScreen(const std::shared_ptr<UIViewController>& screen) {
  const auto count = state_->appScreens.size();
  std::erase_if(state_->appScreens, [&](const auto& open) { return open.expired() || open.lock() == screen; });
  if (state_->appScreens.size() == count) return;
  // Nothing can be seen over a window that is gone: dismissed, so that what was presented over it
  // hears of it and lets go of what it holds.
  if (screen->presentedViewController()) screen->dismissViewControllerAnimated(false, nullptr);
}

void HeadlessToolkit::post(std::function<void()> task) {
  if (task) state_->tasks.push_back(std::move(task));
}

std::size_t HeadlessToolkit::runUntilIdle(std::size_t limit) {
  std::size_t ran = 0;
  while (ran < limit && !state_->tasks.empty()) {
    auto task = std::move(state_->tasks.front());
    state_->tasks.pop_front();
    task();
    ++ran;
  }
  return ran;
}

std::size_t HeadlessToolkit::pendingTaskCount() const { return state_->tasks.size(); }

std::vector<HeadlessWebView*> HeadlessToolkit::webViews() const { return state_->webViews; }

HeadlessWebView* HeadlessToolkit::webViewPeer(const WKWebView& webView) const {
  for (auto* peer : state_->webViews) {
    if (peer->webView().get() == &webView) return peer;
  }
  return nullptr;
}

const std::vector<HeadlessToolkit::Transition>& HeadlessToolkit::transitions() const { return state_->transitions; }

bool HeadlessToolkit::isSliding(const std::shared_ptr<UIViewController>& presented) const {
  return presented && std::any_of(state_->sliding.begin(), state_->sliding.end(),
                                  [&](const auto& each) { return each.lock() == presented; });
}

std::shared_ptr<UIViewController> HeadlessToolkit::topPresentedViewController(const std::shared_ptr<UIViewController>& screen) {
  std::shared_ptr<UIViewController> top;
  for (auto vc = screen ? screen->presentedViewController() : nullptr; vc; vc = vc->presentedViewController()) top = vc;
  return top;
}

std::shared_ptr<UIAlertController> HeadlessToolkit::presentedAlert(const std::shared_ptr<UIViewController>& screen) {
  for (auto vc = screen ? screen->presentedViewController() : nullptr; vc; vc = vc->presentedViewController()) {
    if (auto alert = std::dynamic_pointer_cast<UIAlertController>(vc)) return alert;
  }
  return nullptr;
}

bool HeadlessToolkit::tapAlertButton(const std::shared_ptr<UIAlertController>& alert, const std::string& title) {
  if (!alert) return false;
  for (const auto& action : alert->actions()) {
    if (action->title() == title) return alert->tapAction(action);
  }
  return false;
}

bool HeadlessToolkit::tapLeftBarButton(const std::shared_ptr<UIViewController>& controller, std::size_t index) {
  if (!controller) return false;
  const auto& items = controller->navigationItem()->leftBarButtonItems();
  if (index >= items.size()) return false;
  auto item = items[index];  // the action may replace the items
  return item->sendAction();
}

bool HeadlessToolkit::pressEscape(const std::shared_ptr<UIViewController>& screen) {
  auto frontmost = topPresentedViewController(screen);
  return platform::escapeKeyCommand(frontmost ? frontmost : screen);
}

CGRect HeadlessToolkit::screenBounds() const { return state_->options.screenBounds; }

bool HeadlessToolkit::presentViewController(const std::shared_ptr<UIViewController>& presenting,
                                            const std::shared_ptr<UIViewController>& presented, bool animated,
                                            std::function<void()> didPresent) {
  // As a real toolkit: only a screen shown in an open window, or one presented over such a
  // screen, can present.
  bool inWindow = false;
  for (auto screen = presenting; screen && !inWindow; screen = screen->presentingViewController()) {
    inWindow = std::any_of(state_->appScreens.begin(), state_->appScreens.end(),
                           [&](const auto& open) { return open.lock() == screen; });
  }
  if (!inWindow) return false;
  state_->transitions.push_back({Transition::Kind::Present, presenting, presented, animated});
  if (!animated) {
    post(std::move(didPresent));
    return true;
  }
  state_->sliding.push_back(presented);
  // The slide ends once; a dismissal may have cut it short already.
  auto end = [state = std::weak_ptr(state_), shown = std::weak_ptr(presented)] {
    if (auto live = state.lock()) {
      std::erase_if(live->sliding, [&](const auto& each) { return each.expired() || each.lock() == shown.lock(); });
    }
  };
  if (state_->options.presentationCompletesAtStart) {
    post(std::move(didPresent));
    post(std::move(end));
  } else {
    post([end = std::move(end), didPresent = std::move(didPresent)] {
      end();
      if (didPresent) didPresent();
    });
  }
  return true;
}

void HeadlessToolkit::dismissViewController(const std::shared_ptr<UIViewController>& presenting,
                                            const std::shared_ptr<UIViewController>& presented, bool animated,
                                            std::function<void()> didDismiss) {
  state_->transitions.push_back({Transition::Kind::Dismiss, presenting, presented, animated});
  // A slide still under way is cut short: what is dismissed no longer slides in.
  const PresentedChain chain(presented);
  std::erase_if(state_->sliding, [&](const auto& each) {
    auto shown = each.lock();
    return !shown || chain.contains(shown.get());
  });
  post(std::move(didDismiss));
}

std::unique_ptr<WebViewPeer> HeadlessToolkit::makeWebViewPeer(WKWebView& webView) {
  return std::make_unique<HeadlessWebView>(webView, state_);
}

}  // namespace velquor::headless
