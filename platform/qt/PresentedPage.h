#pragma once

#include "NavigationBarView.h"
#include "ViewRenderer.h"

#include <velquor/platform/UIViewController.h>

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace velquor::qt {

struct QtToolkitState;

// What covers a window while a controller is presented over it: for a navigation container its
// bar above its top screen's root view, for any other controller its root view. The page holds
// the controller (and so its views and web views) until it is destroyed.
//
// Escape pressed anywhere in the page (its web content included) runs `escape`.
//
// The page is made inside `window`, hidden until shown: made as a window of its own and moved in
// later, it would take the keys from the app's window when it moves.
class PresentedPage {
 public:
  PresentedPage(std::shared_ptr<platform::UIViewController> controller, QtToolkitState& state, QWidget* window,
                std::function<void()> escape);
  ~PresentedPage();
  PresentedPage(const PresentedPage&) = delete;
  PresentedPage& operator=(const PresentedPage&) = delete;

  QWidget* widget() const { return page_; }
  const std::shared_ptr<platform::UIViewController>& controller() const { return controller_; }

  static constexpr const char* kPageName = "velquor-presented-page";

 private:
  std::shared_ptr<platform::UIViewController> controller_;
  QtToolkitState& state_;
  QPointer<QWidget> page_;
  std::unique_ptr<NavigationBarView> bar_;
  std::unique_ptr<ViewRenderer> content_;
};

}  // namespace velquor::qt
