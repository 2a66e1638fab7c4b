#include "QtToolkit.h"

#include "Accessibility.h"
#include "MainLoop.h"
#include "QtToolkitState.h"
#include "WebEngineViewPeer.h"
#include "WindowHost.h"

#include <velquor/platform/WindowPresentations.h>
#include <QApplication>
#include <QWebEngineProfile>

#include <algorithm>
#include <stdexcept>

namespace velquor::qt {

using platform::CGRect;
using platform::UIViewController;

QtToolkit::QtToolkit(QtToolkitOptions options) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    throw std::logic_error("QtToolkit needs a QApplication to be made first");
  }
  state_ = std::make_unique<QtToolkitState>(std::move(options));
  installAccessibleFactory();
  allowPageAccessibility();
  // The kit's warnings join the app's Qt log, as Qt's own do.
  state_->previousLogHandler =
      platform::setNSLogHandler([](const std::string& message) { qWarning("%s", message.c_str()); });
  state_->profile = std::make_shared<WebProfile>();
}

QtToolkit::~QtToolkit() {
  // What is shown goes with the toolkit that shows it.
  const auto shown = state_->hosts;
  for (const auto& host : shown) {
    if (host->rootViewController()->presentedViewController()) {
      host->rootViewController()->dismissViewControllerAnimated(false, nullptr);
    }
  }
  state_->hosts.clear();  // each window loses the pages laid over it
  state_->prewarmer.reset();
  platform::setNSLogHandler(std::move(state_->previousLogHandler));
}

std::shared_ptr<UIViewController> QtToolkit::rootViewControllerForWindow(QWidget* window) {
  if (!window) return nullptr;
  for (const auto& host : state_->hosts) {
    if (host->window() == window) return host->rootViewController();
  }
  auto host = std::make_shared<WindowHost>(window, *state_);
  QObject::connect(window, &QObject::destroyed, &state_->connections, [this, window] { forgetWindow(window); });
  state_->hosts.push_back(host);
  return host->rootViewController();
}

void QtToolkit::forgetWindow(QWidget* window) {
  auto it = std::find_if(state_->hosts.begin(), state_->hosts.end(),
                         [window](const auto& host) { return host->window() == window || !host->window(); });
  if (it == state_->hosts.end()) return;
  auto host = *it;
  host->windowGone();
  // Nothing can be seen over a window that is gone: dismiss it, so that the screens presented
  // over it run their disappearance (the checkout drops its script-message registration there)
  // and everything they hold is let go.
  if (host->rootViewController()->presentedViewController()) {
    host->rootViewController()->dismissViewControllerAnimated(false, nullptr);
  }
  state_->hosts.erase(std::find(state_->hosts.begin(), state_->hosts.end(), host));
}

QWidget* QtToolkit::widgetForView(const platform::UIView& view) const {
  auto it = state_->widgets.find(&view);
  return it == state_->widgets.end() ? nullptr : it->second.data();
}

QWidget* QtToolkit::widgetForViewController(const UIViewController& controller) const {
  auto it = state_->widgets.find(&controller);
  return it == state_->widgets.end() ? nullptr : it->second.data();
}

QWebEngineView* QtToolkit::webEngineView(const platform::WKWebView& webView) {
  auto* peer = dynamic_cast<WebEngineViewPeer*>(webView.peer());
  return peer ? peer->view() : nullptr;
}

QWebEngineProfile* QtToolkit::profile() const { return state_->profile->profile(); }

void QtToolkit::prewarm(std::function<void()> ready) {
  if (!state_->prewarmer) state_->prewarmer = std::make_unique<PagePrewarmer>(state_->profile);
  state_->prewarmer->prewarm(std::move(ready));
}

std::size_t QtToolkit::prewarmedPageCount() { return PagePrewarmer::liveSpareCount(); }

std::size_t QtToolkit::liveWebViewCount() { return WebEngineViewPeer::liveViewCount(); }

std::size_t QtToolkit::livePageCount() { return WebEngineViewPeer::livePageCount(); }

CGRect QtToolkit::screenBounds() const {
  QWidget* window = state_->hosts.empty() ? nullptr : state_->hosts.back()->window();
  return platform::windowScreenBounds(window ? window->width() : 0, window ? window->height() : 0);
}

bool QtToolkit::presentViewController(const std::shared_ptr<UIViewController>& presenting,
                                    const std::shared_ptr<UIViewController>& presented, bool animated,
                                    std::function<void()> didPresent) {
  return platform::presentInWindow(state_->hosts, presenting, presented, animated, std::move(didPresent),
                                   [] { qWarning("%s", platform::kNotInAnyWindowWarning); });
}

void QtToolkit::dismissViewController(const std::shared_ptr<UIViewController>& presenting,
                                    const std::shared_ptr<UIViewController>& presented, bool animated,
                                    std::function<void()> didDismiss) {
  platform::dismissInWindow(state_->hosts, presenting, presented, animated, std::move(didDismiss),
                            [](std::function<void()> task) { postToMainLoop(std::move(task)); });
}

std::unique_ptr<platform::WebViewPeer> QtToolkit::makeWebViewPeer(platform::WKWebView& webView) {
  EnginePage* prewarmed = state_->prewarmer ? state_->prewarmer->take() : nullptr;
  return std::make_unique<WebEngineViewPeer>(webView, state_->profile, state_->options.loadFailed, prewarmed);
}

}  // namespace velquor::qt
