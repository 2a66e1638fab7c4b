#include "UIViewController.h"

#include <velquor/platform/Toolkit.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/UIStoryboard.h>

#include <algorithm>

namespace velquor::platform {

namespace {
// Runs a completion at most once, however often the toolkit calls it.
std::function<void()> once(std::function<void()> action) {
  return [action = std::move(action), done = false]() mutable {
    if (done) return;
    done = true;
    if (action) action();
  };
}
}  // namespace

UIViewController::UIViewController() = default;

UIViewController::~UIViewController() {
  // A screen that goes away while presenting (its window closed, say) takes what it presents off
  // screen with it, so that those controllers learn they are gone and let go of what they hold.
  std::vector<std::shared_ptr<UIViewController>> chain;
  for (auto vc = std::move(presented_); vc; vc = vc->presented_) chain.insert(chain.begin(), vc);
  for (const auto& vc : chain) {
    vc->beingDismissed_ = true;
    vc->forwardAppearance(false, false, false);
    vc->forwardAppearance(false, true, false);
    vc->presenting_.reset();
    vc->beingDismissed_ = false;
  }
}

std::shared_ptr<UIView> UIViewController::view() {
  if (!view_ && !loadingView_) {
    loadingView_ = true;
    loadView();
    loadingView_ = false;
    if (view_) viewDidLoad();
  }
  return view_;
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
  view_ = std::move(view);
  didChangeValue();
}

void UIViewController::loadView() {
  auto root = UIView::initWithFrame(currentScreenBounds());
  if (sceneBackgroundColor_) root->setBackgroundColor(sceneBackgroundColor_);
  setView(std::move(root));
}

void UIViewController::viewDidLoad() {}
void UIViewController::viewWillAppear(bool) {}
void UIViewController::viewDidAppear(bool) {}
void UIViewController::viewWillDisappear(bool) {}
void UIViewController::viewDidDisappear(bool) {}

void UIViewController::setTitle(std::optional<std::string> title) {
  title_ = title;
  navigationItem()->setTitle(std::move(title));
  didChangeValue();
}

std::shared_ptr<UINavigationItem> UIViewController::navigationItem() {
  if (!navigationItem_) navigationItem_ = std::make_shared<UINavigationItem>();
  return navigationItem_;
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
  for (auto ancestor = parent_.lock(); ancestor; ancestor = ancestor->parent_.lock()) {
    if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(ancestor)) return navigation;
  }
  return nullptr;
}

void UIViewController::setModalPresentationStyle(UIModalPresentationStyle style) {
  modalPresentationStyle_ = style;
  didChangeValue();
}

void UIViewController::addChildViewController(const std::shared_ptr<UIViewController>& child) {
  if (!child || child.get() == this) return;
  if (auto oldParent = child->parent_.lock()) std::erase(oldParent->children_, child);
  child->parent_ = shared_from(this);
  children_.push_back(child);
}

std::shared_ptr<UIViewController> UIViewController::outermostContainer() {
  auto container = shared_from(this);
  while (auto parent = container->parent_.lock()) container = parent;
  return container;
}

void UIViewController::forwardAppearance(bool appearing, bool finished, bool animated) {
  if (appearing) {
    finished ? viewDidAppear(animated) : viewWillAppear(animated);
  } else {
    finished ? viewDidDisappear(animated) : viewWillDisappear(animated);
  }
  auto children = children_;  // a callback may change containment
  for (const auto& child : children) child->forwardAppearance(appearing, finished, animated);
}

std::chrono::steady_clock::time_point UIViewController::slideStart() const {
  const auto now = std::chrono::steady_clock::now();
  return presentationStart_ == std::chrono::steady_clock::time_point{} ? now : std::min(presentationStart_, now);
}

void UIViewController::presentViewController(std::shared_ptr<UIViewController> viewController, bool animated,
                                             std::function<void()> completion) {
  auto host = outermostContainer();
  auto* toolkit = Toolkit::current();
  if (!viewController || viewController == host || host->presented_ || viewController->presenting_.lock() ||
      viewController->parent_.lock() || !toolkit) {
    return;  // the platform refuses such a presentation, and so runs no completion
  }
  host->presented_ = viewController;
  viewController->presenting_ = host;
  viewController->beingPresented_ = true;
  viewController->presentationStart_ = std::chrono::steady_clock::now();
  viewController->view();

  auto didPresent = once([viewController, animated, completion = std::move(completion)] {
    viewController->beingPresented_ = false;
    viewController->forwardAppearance(true, true, animated);
    if (completion) completion();
  });
  // Loading the view may have uninstalled the toolkit or presented something else: ask again.
  toolkit = Toolkit::current();
  if (!toolkit || host->presented_ != viewController ||
      !toolkit->presentViewController(host, viewController, animated, std::move(didPresent))) {
    // Refused: as if never asked. The screen never appeared, so it hears nothing of it.
    if (host->presented_ == viewController) host->presented_.reset();
    viewController->presenting_.reset();
    viewController->beingPresented_ = false;
    return;
  }
  viewController->forwardAppearance(true, false, animated);
}

void UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
  auto self = outermostContainer();
  auto host = self->presented_ ? self : self->presenting_.lock();
  if (!host || !host->presented_ || host->presented_->beingDismissed_) return;
  auto victim = host->presented_;

  // Everything presented over the victim goes with it; the topmost is taken off first.
  std::vector<std::shared_ptr<UIViewController>> chain;
  for (auto vc = victim; vc; vc = vc->presented_) chain.insert(chain.begin(), vc);
  for (const auto& vc : chain) {
    vc->beingDismissed_ = true;
    vc->forwardAppearance(false, false, animated);
  }

  auto didDismiss = once([host, chain, animated, completion = std::move(completion)] {
    for (const auto& vc : chain) {
      vc->forwardAppearance(false, true, animated);
      if (auto presenter = vc->presenting_.lock(); presenter && presenter->presented_ == vc) presenter->presented_.reset();
      vc->presenting_.reset();
      vc->beingDismissed_ = false;
      vc->beingPresented_ = false;
    }
    if (completion) completion();
  });
  if (auto* toolkit = Toolkit::current()) {
    toolkit->dismissViewController(host, victim, animated, std::move(didDismiss));
  } else {
    didDismiss();
  }
}

void UIViewController::setStoryboardScene(const std::shared_ptr<UIStoryboard>& storyboard, const StoryboardScene& scene) {
  storyboard_ = storyboard;
  sceneBackgroundColor_ = scene.viewBackgroundColor;
}

}  // namespace velquor::platform
