#pragma once

#include "EnginePage.h"

#include <QObject>
#include <QPointer>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace velquor::qt {

class WebProfile;

// Keeps one spare engine page with its renderer running, for the next web view to take.
//
// Qt WebEngine starts a renderer for each page at its first load, and a page never shares another
// page's renderer: a hidden page loading a blank document warms the profile and network stack but
// leaves the next page to start its own renderer (about 100–250 ms). Only the page object itself
// carries its renderer along, so the spare is handed over whole: the web view that takes it shows
// it, and a new spare is started once that page has gone (not while the checkout loads, which it
// would slow down on a small machine).
//
// The spare holds nothing but its blank document; the web view taking it installs its own bridge
// and settings and drops the blank document from the history.
class PagePrewarmer final : private EnginePageEvents {
 public:
  explicit PagePrewarmer(std::shared_ptr<WebProfile> profile);
  ~PagePrewarmer() override;
  PagePrewarmer(const PagePrewarmer&) = delete;
  PagePrewarmer& operator=(const PagePrewarmer&) = delete;

  // Starts a spare page unless there is one. `ready` runs on a later turn of the event loop once a
  // spare has loaded its blank page (or has ended trying); it is dropped when the prewarmer goes.
  void prewarm(std::function<void()> ready);
  // The spare page, if its renderer is up, with no parent and nothing of the prewarmer attached;
  // null otherwise (the web view then makes a page of its own).
  EnginePage* take();

  // Spare pages of all prewarmers in this process.
  static std::size_t liveSpareCount();

 private:
  void startSpare();
  void loadBlankPage();
  void loaded(bool ok);
  void rendererEnded();
  void finish();

  // EnginePageEvents: the spare goes nowhere but its blank page.
  bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame) override;
  void scriptAlert(const QString&) override {}
  void consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel, const QString&) override {}

  // Declared first: it goes after the spare page.
  std::shared_ptr<WebProfile> profile_;
  // The context of every connection and later task of this prewarmer, and the spare's parent.
  std::unique_ptr<QObject> owner_;
  QPointer<EnginePage> spare_;
  QMetaObject::Connection spareCount_;
  bool ready_ = false;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace velquor::qt
