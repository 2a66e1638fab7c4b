#include "WindowHost.h"

#include "MainLoop.h"
#include "QtToolkitState.h"

#include <velquor/platform/KeyCommands.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/WindowPresentations.h>

#include <QEvent>
#include <QPropertyAnimation>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>

namespace velquor::qt {

using platform::UIViewController;

WindowHost::WindowHost(QWidget* window, QtToolkitState& state)
    : window_(window), state_(state), root_(std::make_shared<UIViewController>()) {
  window->installEventFilter(this);
}

WindowHost::~WindowHost() {
  if (window_) window_->removeEventFilter(this);
  alerts_.clear();
  pages_.clear();
}

void WindowHost::windowGone() {
  if (window_) window_->removeEventFilter(this);
  for (const auto& page : pages_) {
    if (QWidget* widget = page->widget()) widget->setParent(nullptr);
  }
  window_ = nullptr;
}

bool WindowHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Resize) {
    // The pages keep covering the whole window; one sliding keeps its place in the slide.
    for (const auto& page : pages_) {
      if (QWidget* widget = page->widget()) widget->resize(window_->size());
    }
  }
  return false;
}

bool WindowHost::present(const std::shared_ptr<UIViewController>& presented, bool animated,
                         std::function<void()> didPresent) {
  if (!window_) return false;
  if (auto alert = std::dynamic_pointer_cast<platform::UIAlertController>(presented)) {
    auto dialog = std::make_shared<AlertDialog>(alert, window_, std::move(didPresent));
    state_.widgets[presented.get()] = dialog->widget();
    alerts_.push_back({presented, std::move(dialog)});
    return true;
  }
  auto page =
      std::make_unique<PresentedPage>(presented, state_, window_, [this] { platform::escapeKeyCommand(frontmost()); });
  QWidget* widget = page->widget();
  widget->resize(window_->size());
  widget->raise();
  widget->show();
  pages_.push_back(std::move(page));
  auto focusWhenShown = [widget = QPointer<QWidget>(widget)] {
    // Keys go to the checkout now, not to the app's content under it: to its web content when it
    // has some, so that a screen reader starts on the page. Not when a dismissal cut the slide short.
    if (!widget || widget->pos() != QPoint(0, 0)) return;
    QWidget* web = widget->findChild<QWebEngineView*>();
    (web && web->isVisibleTo(widget) ? web : widget.data())->setFocus(Qt::OtherFocusReason);
  };
  const auto start = presented->slideStart();
  if (animated && state_.options.presentationCompletesAtStart) {
    postToMainLoop(std::move(didPresent));
    slide(widget, QPoint(0, window_->height()), QPoint(0, 0), animated, start, std::move(focusWhenShown));
    return true;
  }
  slide(widget, QPoint(0, window_->height()), QPoint(0, 0), animated, start,
        [focusWhenShown = std::move(focusWhenShown), didPresent = std::move(didPresent)] {
          focusWhenShown();
          if (didPresent) didPresent();
        });
  return true;
}

void WindowHost::dismiss(const std::shared_ptr<UIViewController>& presented, bool animated,
                         std::function<void()> didDismiss) {
  const platform::PresentedChain chain(presented);

  // Alerts leave the model at once; their boxes go on the next turn, since this may run inside a
  // box's own click.
  platform::takeAway(alerts_, chain, [this](Alert& alert) {
    state_.widgets.erase(alert.controller.get());
    if (QWidget* box = alert.dialog->widget()) box->hide();
    postToMainLoop([dialog = std::move(alert.dialog)] {});
  });

  auto lowest = std::find_if(pages_.begin(), pages_.end(),
                             [&](const auto& page) { return chain.contains(page->controller().get()); });
  if (lowest == pages_.end() || !window_) {
    if (lowest != pages_.end()) {
      // No window to slide in: the pages go at once.
      pages_.erase(lowest, pages_.end());
    }
    postToMainLoop(std::move(didDismiss));
    return;
  }
  // Pages above the lowest one go down with it, hidden behind it.
  for (auto above = lowest + 1; above != pages_.end(); ++above) {
    if (QWidget* widget = (*above)->widget()) widget->hide();
  }
  QWidget* widget = (*lowest)->widget();
  slide(widget, widget ? widget->pos() : QPoint(), QPoint(0, window_->height()), animated,
        std::chrono::steady_clock::now(), [weak = weak_from_this(), chain, didDismiss = std::move(didDismiss)] {
          // The pages go first, so that nothing on screen still holds what the completion lets go.
          if (auto self = weak.lock()) {
            std::erase_if(self->pages_, [&chain](const auto& page) { return chain.contains(page->controller().get()); });
          }
          if (didDismiss) didDismiss();
        });
}

std::shared_ptr<UIViewController> WindowHost::frontmost() const {
  if (!alerts_.empty()) return alerts_.back().controller;
  if (!pages_.empty()) return pages_.back()->controller();
  return root_;
}

void WindowHost::slide(QWidget* page, QPoint from, QPoint to, bool animated, std::chrono::steady_clock::time_point start,
                       std::function<void()> done) {
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  // However long the page took to make, the slide is seen for at least half its time.
  const long long full = std::max<long long>(0, state_.options.transitionDuration.count());
  const int duration = static_cast<int>(std::max(full - elapsed, full / 2));
  if (!page || !animated || duration == 0 || !page->isVisible()) {
    if (page) page->move(to);
    postToMainLoop(std::move(done));
    return;
  }
  // A slide still under way (a dismissal during the presentation's) stops where it is, ending
  // at once, and this one goes on from there.
  for (auto* running : page->findChildren<QPropertyAnimation*>(QString(), Qt::FindDirectChildrenOnly)) running->stop();
  auto* animation = new QPropertyAnimation(page, "pos", page);
  animation->setDuration(duration);
  animation->setStartValue(from);
  animation->setEndValue(to);
  animation->setEasingCurve(to.y() == 0 ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
  // Done once, whether the slide ends or its page goes first (then the end is immediate).
  auto pending = std::make_shared<std::function<void()>>(std::move(done));
  auto finish = [pending] {
    if (auto run = std::exchange(*pending, nullptr)) postToMainLoop(std::move(run));
  };
  QObject::connect(animation, &QAbstractAnimation::finished, finish);
  QObject::connect(animation, &QObject::destroyed, finish);
  animation->start(QAbstractAnimation::DeleteWhenStopped);
  // The animation advances on a 16 ms tick, so it would end up to a tick late; it ends on time.
  QTimer::singleShot(duration, Qt::PreciseTimer, animation, [animation] {
    if (animation->state() == QAbstractAnimation::Running) animation->setCurrentTime(animation->totalDuration());
  });
}

}  // namespace velquor::qt
