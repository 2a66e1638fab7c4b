#include "PagePrewarmer.h"

#include "MainLoop.h"
#include "WebProfile.h"

#include <QTimer>
#include <QUrl>

#include <utility>

namespace velquor::qt {

namespace {

std::size_t liveSpares = 0;

QUrl blankPage() { return QUrl(QStringLiteral("about:blank")); }

}  // namespace

PagePrewarmer::PagePrewarmer(std::shared_ptr<WebProfile> profile)
    : profile_(std::move(profile)), owner_(std::make_unique<QObject>()) {}

PagePrewarmer::~PagePrewarmer() {
  // Callbacks still waiting belong to a toolkit that is going away: dropped, not run.
  waiting_.clear();
  if (spare_) spare_->setEvents(nullptr);
  // The spare (its child) and every pending task and connection go here, before the profile.
  owner_.reset();
}

std::size_t PagePrewarmer::liveSpareCount() { return liveSpares; }

void PagePrewarmer::prewarm(std::function<void()> ready) {
  if (spare_ && ready_) {
    postToMainLoop(std::move(ready));
    return;
  }
  waiting_.push_back(std::move(ready));
  if (!spare_) startSpare();
}

void PagePrewarmer::startSpare() {
  spare_ = new EnginePage(profile_->profile(), owner_.get());
  ++liveSpares;
  spareCount_ = QObject::connect(spare_, &QObject::destroyed, [] { --liveSpares; });
  spare_->setEvents(this);
  QObject::connect(spare_, &QWebEnginePage::loadFinished, owner_.get(), [this](bool ok) { loaded(ok); });
  QObject::connect(spare_, &QWebEnginePage::renderProcessTerminated, owner_.get(), [this] { rendererEnded(); });
  ready_ = false;
  loadBlankPage();
}

void PagePrewarmer::loadBlankPage() {
  // The engine starts a page's renderer for its first load, or its first after the renderer ended.
  spare_->load(blankPage());
}

void PagePrewarmer::loaded(bool ok) {
  if (!ok) return;  // stopped or replaced: the next load's end is the one that counts
  ready_ = true;
  finish();
}

void PagePrewarmer::finish() {
  auto waiting = std::exchange(waiting_, {});
  for (auto& ready : waiting) postToMainLoop(std::move(ready));
}

void PagePrewarmer::rendererEnded() {
  if (!ready_) {
    // A renderer that never got its blank page up is not started again: that could go on forever.
    // Called from the page's own signal: it goes on a later turn.
    spare_->setEvents(nullptr);
    QObject::disconnect(spare_, nullptr, owner_.get(), nullptr);
    spare_->deleteLater();
    spare_ = nullptr;
    finish();
    return;
  }
  ready_ = false;
  QTimer::singleShot(0, owner_.get(), [this] {
    if (spare_) loadBlankPage();
  });
}

EnginePage* PagePrewarmer::take() {
  if (!spare_ || !ready_) return nullptr;
  EnginePage* page = spare_;
  spare_ = nullptr;
  ready_ = false;
  page->setEvents(nullptr);
  QObject::disconnect(page, nullptr, owner_.get(), nullptr);
  page->setParent(nullptr);
  // No longer a spare: the web view's own count takes it from here.
  QObject::disconnect(spareCount_);
  --liveSpares;
  // Once the web view that took it has let it go, a new spare is made for the next one.
  QObject::connect(page, &QObject::destroyed, owner_.get(), [this] {
    QTimer::singleShot(0, owner_.get(), [this] {
      if (!spare_) startSpare();
    });
  });
  return page;
}

bool PagePrewarmer::acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType, bool isMainFrame) {
  return isMainFrame && url == blankPage();
}

}  // namespace velquor::qt
