#pragma once

#include <velquor/headless/HeadlessWebView.h>
#include <velquor/headless/VelquorHeadlessExport.h>
#include <velquor/platform/Toolkit.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UIViewController.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velquor::headless {

struct HeadlessToolkitOptions {
  platform::CGRect screenBounds = platform::CGRectMake(0, 0, 390, 844);
  // Off: an animated presentation's completion runs once its slide has ended, on the next turn.
  // On: it runs on the next turn while the slide is still under way, and the slide ends on the turn
  // after, so a test can see (isSliding) what the completion started happen during the slide. A
  // dismissal during the slide cuts it short.
  bool presentationCompletesAtStart = false;
};

// A deterministic, in-memory toolkit: nothing is drawn and nothing runs until the test turns the
// run loop. Creating one installs it; destroying it uninstalls it. For tests of the checkout and of
// an app's own delegate code.
class VELQUOR_HEADLESS_EXPORT HeadlessToolkit : public platform::Toolkit {
 public:
  struct Transition {
    enum class Kind { Present, Dismiss };
    Kind kind;
    std::weak_ptr<platform::UIViewController> presenting;
    std::weak_ptr<platform::UIViewController> presented;
    bool animated;
  };

  explicit HeadlessToolkit(platform::CGRect screenBounds = platform::CGRectMake(0, 0, 390, 844));
  explicit HeadlessToolkit(HeadlessToolkitOptions options);
  ~HeadlessToolkit() override;

  // The app's own screen, as a window's root controller, with its view loaded. Only screens made
  // here, and what they present, can present: like a real toolkit, this one refuses a screen that
  // is in no window.
  std::shared_ptr<platform::UIViewController> makeAppScreen();
  // The app's window closing under `screen`: what it presents is dismissed at once (not animated)
  // and it can present nothing more.
  void closeAppScreen(const std::shared_ptr<platform::UIViewController>& screen);

  // The run loop. A transition's completion runs on a later turn, never inside the call that began it.
  void post(std::function<void()> task);
  // Runs queued tasks, and those they queue, until none is left (or `limit` have run). Returns how many ran.
  std::size_t runUntilIdle(std::size_t limit = 1'000'000);
  std::size_t pendingTaskCount() const;

  // Web views alive now, oldest first.
  std::vector<HeadlessWebView*> webViews() const;
  HeadlessWebView* webViewPeer(const platform::WKWebView& webView) const;
  const std::vector<Transition>& transitions() const;
  // `presented` is still sliding in: its animated presentation has begun and not yet ended.
  bool isSliding(const std::shared_ptr<platform::UIViewController>& presented) const;

  // The topmost controller presented over `screen`, and the alert among them, if any.
  static std::shared_ptr<platform::UIViewController> topPresentedViewController(
      const std::shared_ptr<platform::UIViewController>& screen);
  static std::shared_ptr<platform::UIAlertController> presentedAlert(const std::shared_ptr<platform::UIViewController>& screen);
  // A tap on the alert button titled `title`; false when there is none or the tap does not count.
  static bool tapAlertButton(const std::shared_ptr<platform::UIAlertController>& alert, const std::string& title);
  // A tap on the `index`th left button of `controller`'s navigation item.
  static bool tapLeftBarButton(const std::shared_ptr<platform::UIViewController>& controller, std::size_t index = 0);
  // Escape pressed in the window of the app's `screen`, as on the real toolkits: the frontmost
  // controller takes it (an alert's Cancel-style action, a screen's Cancel item). True when it tapped.
  static bool pressEscape(const std::shared_ptr<platform::UIViewController>& screen);

  // platform::Toolkit
  platform::CGRect screenBounds() const override;
  bool presentViewController(const std::shared_ptr<platform::UIViewController>& presenting,
                             const std::shared_ptr<platform::UIViewController>& presented, bool animated,
                             std::function<void()> didPresent) override;
  void dismissViewController(const std::shared_ptr<platform::UIViewController>& presenting,
                             const std::shared_ptr<platform::UIViewController>& presented, bool animated,
                             std::function<void()> didDismiss) override;
  std::unique_ptr<platform::WebViewPeer> makeWebViewPeer(platform::WKWebView& webView) override;

 private:
  std::shared_ptr<HeadlessToolkitState> state_;
};

}  // namespace velquor::headless
