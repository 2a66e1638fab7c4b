#pragma once

#include "AlertDialog.h"
#include "PresentedPage.h"

#include <velquor/platform/UIViewController.h>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QPropertyAnimation;

namespace velquor::qt {

struct QtToolkitState;

// One app window under the toolkit. Each controller presented over the window is a page laid over
// the window's whole content, sliding up from the bottom, above the pages before it; each alert is
// a window-modal message box. Dismissal slides the page down and takes it (and everything
// presented over it) away, leaving the app's content as it was. Completions run on a later turn of
// the event loop, after the transition has ended.
class WindowHost : public QObject, public std::enable_shared_from_this<WindowHost> {
 public:
  WindowHost(QWidget* window, QtToolkitState& state);
  // Takes the pages off the window, when it is still there.
  ~WindowHost() override;
  WindowHost(const WindowHost&) = delete;
  WindowHost& operator=(const WindowHost&) = delete;

  QWidget* window() const { return window_; }
  const std::shared_ptr<platform::UIViewController>& rootViewController() const { return root_; }
  // The window is being destroyed: its pages leave it before Qt deletes its children.
  void windowGone();

  // False when it cannot be shown (the window is gone).
  bool present(const std::shared_ptr<platform::UIViewController>& presented, bool animated,
               std::function<void()> didPresent);
  void dismiss(const std::shared_ptr<platform::UIViewController>& presented, bool animated,
               std::function<void()> didDismiss);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Alert {
    std::shared_ptr<platform::UIViewController> controller;
    std::shared_ptr<AlertDialog> dialog;
  };

  // The controller in front: the last alert, else the last page's, else the root.
  std::shared_ptr<platform::UIViewController> frontmost() const;
  // Moves `page` from `from` to `to` (its top-left corner in the window); `done` runs on a later
  // turn once it is there.
  // The slide ends its duration after `start` (a presentation's start, so that making its page is
  // part of the slide's time), but no sooner than half its duration from now.
  void slide(QWidget* page, QPoint from, QPoint to, bool animated, std::chrono::steady_clock::time_point start,
             std::function<void()> done);

  QPointer<QWidget> window_;
  QtToolkitState& state_;
  std::shared_ptr<platform::UIViewController> root_;
  std::vector<std::unique_ptr<PresentedPage>> pages_;
  std::vector<Alert> alerts_;
};

}  // namespace velquor::qt
