#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/UINavigationItem.h>
#include <velquor/platform/UIView.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::platform {

class UINavigationController;
class UIStoryboard;
struct StoryboardScene;

enum class UIModalPresentationStyle : long {
  Automatic = -2,
  None = -1,
  FullScreen = 0,
  PageSheet = 1,
  FormSheet = 2,
  CurrentContext = 3,
  Custom = 4,
  OverFullScreen = 5,
};

// A screen: owns a root view, loaded lazily (loadView, then viewDidLoad, once), and takes part in
// containment (parent and children) and modal presentation (presenting and presented).
class VELQUOR_PLATFORM_EXPORT UIViewController : public NSObject {
 public:
  UIViewController();
  ~UIViewController() override;

  // The root view; the first call loads it.
  std::shared_ptr<UIView> view();
  bool isViewLoaded() const { return view_ != nullptr; }
  void setView(std::shared_ptr<UIView> view);
  // Creates the root view: the storyboard scene's view, or a plain view of the screen's size.
  virtual void loadView();
  virtual void viewDidLoad();

  virtual void viewWillAppear(bool animated);
  virtual void viewDidAppear(bool animated);
  virtual void viewWillDisappear(bool animated);
  virtual void viewDidDisappear(bool animated);

  const std::optional<std::string>& title() const { return title_; }
  // Also the navigation item's title, as shown in a navigation bar.
  void setTitle(std::optional<std::string> title);
  std::shared_ptr<UINavigationItem> navigationItem();

  std::shared_ptr<UIViewController> parentViewController() const { return parent_.lock(); }
  const std::vector<std::shared_ptr<UIViewController>>& childViewControllers() const { return children_; }
  // The nearest navigation container among the ancestors; null outside one.
  std::shared_ptr<UINavigationController> navigationController() const;

  UIModalPresentationStyle modalPresentationStyle() const { return modalPresentationStyle_; }
  void setModalPresentationStyle(UIModalPresentationStyle style);

  // Shows `viewController` modally over this screen (its outermost container). The completion runs
  // once, on the main loop, after the transition; never inside this call. Refused (nothing is
  // presented, the completion never runs, nothing is held) when this screen is already presenting
  // something, when `viewController` is shown already, when no toolkit is installed, and when the
  // toolkit cannot show it; `viewController->presentingViewController()` tells afterwards.
  void presentViewController(std::shared_ptr<UIViewController> viewController, bool animated,
                             std::function<void()> completion);
  // Dismisses what this screen presents, or this screen when it is the presented one, together
  // with everything presented over it.
  void dismissViewControllerAnimated(bool animated, std::function<void()> completion);
  std::shared_ptr<UIViewController> presentedViewController() const { return presented_; }
  std::shared_ptr<UIViewController> presentingViewController() const { return presenting_.lock(); }
  bool isBeingPresented() const { return beingPresented_; }
  // When presentViewController began showing this screen, before its view loaded: a toolkit times
  // the slide from here, so that loading the view is part of the presentation's time rather than a
  // wait before it. The epoch (no time) before the screen was first presented.
  std::chrono::steady_clock::time_point presentationStart() const { return presentationStart_; }
  // Where a toolkit's slide counts from: presentationStart(), or now for a screen never presented
  // (and never later than now).
  std::chrono::steady_clock::time_point slideStart() const;
  bool isBeingDismissed() const { return beingDismissed_; }

  std::shared_ptr<UIStoryboard> storyboard() const { return storyboard_.lock(); }
  // Set when a storyboard instantiates the controller; the scene supplies the root view.
  void setStoryboardScene(const std::shared_ptr<UIStoryboard>& storyboard, const StoryboardScene& scene);

 protected:
  void addChildViewController(const std::shared_ptr<UIViewController>& child);

 private:
  std::shared_ptr<UIViewController> outermostContainer();
  void forwardAppearance(bool appearing, bool finished, bool animated);

  std::shared_ptr<UIView> view_;
  bool loadingView_ = false;
  std::optional<std::string> title_;
  std::shared_ptr<UINavigationItem> navigationItem_;
  std::weak_ptr<UIViewController> parent_;
  std::vector<std::shared_ptr<UIViewController>> children_;
  UIModalPresentationStyle modalPresentationStyle_ = UIModalPresentationStyle::Automatic;
  std::shared_ptr<UIViewController> presented_;
  std::weak_ptr<UIViewController> presenting_;
  bool beingPresented_ = false;
  std::chrono::steady_clock::time_point presentationStart_{};
  bool beingDismissed_ = false;
  std::weak_ptr<UIStoryboard> storyboard_;
  std::optional<UIColor> sceneBackgroundColor_;
};

}  // namespace velquor::platform
