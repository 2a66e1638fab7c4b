#include "WebEngineViewPeer.h"

#include "CheckoutSchemeHandler.h"
#include "EngineErrors.h"
#include "MainLoop.h"
#include "WebProfile.h"

#include <velquor/platform/NSLog.h>
#include <velquor/platform/WKNavigationResponse.h>

#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace velquor::qt {

using platform::NSError;
using platform::WKNavigation;
using platform::WKNavigationActionPolicy;
using platform::WKWebView;

namespace {

std::size_t liveViews = 0;
std::size_t livePages = 0;

// The engine's own page-load limit for a document given as text (a data: address inside).
constexpr qsizetype kTextDocumentLimit = 2 * 1024 * 1024;

// A callback may drop the last reference to the web view (an app dismissing the checkout from a
// delegate call); its peer must not be destroyed under the signal that is calling it.
void releaseLater(std::shared_ptr<WKWebView> webView) {
  postToMainLoop([webView = std::move(webView)] {});
}

}  // namespace

WebEngineViewPeer::WebEngineViewPeer(WKWebView& webView, std::shared_ptr<WebProfile> profile,
                                     LoadFailureObserver loadFailed, EnginePage* prewarmed)
    : profile_(std::move(profile)), webView_(webView), loadFailed_(std::move(loadFailed)) {
  view_ = new QWebEngineView();
  ++liveViews;
  QObject::connect(view_, &QObject::destroyed, [] { --liveViews; });
  // Parented to its view: it goes with it.
  page_ = prewarmed ? prewarmed : new EnginePage(profile_->profile(), view_);
  page_->setParent(view_);
  forgetPrewarmHistory_ = prewarmed != nullptr;
  ++livePages;
  QObject::connect(page_, &QObject::destroyed, [] { --livePages; });
  page_->setEvents(this);
  view_->setPage(page_);
  view_->setContextMenuPolicy(Qt::NoContextMenu);

  bridge_ = new ScriptBridge(page_, [this](ScriptBridge::Message message) { deliverScriptMessage(std::move(message)); });
  // The context of every connection that calls this peer: deleting it ends them all at once.
  connections_ = new QObject(page_);
  QObject::connect(page_, &QWebEnginePage::loadingChanged, connections_,
                   [this](const QWebEngineLoadingInfo& info) { loadingChanged(info); });
  QObject::connect(page_, &QWebEnginePage::urlChanged, connections_, [this](const QUrl& url) { urlChanged(url); });
  QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, connections_, [this] { renderProcessTerminated(); });
  // Never overridden: a certificate the engine does not trust fails the load.
  QObject::connect(page_, &QWebEnginePage::certificateError, connections_, [](const QWebEngineCertificateError& error) {
    auto refused = error;
    refused.rejectCertificate();
  });
  QObject::connect(page_, &QWebEnginePage::windowCloseRequested, connections_, [this] {
    auto webView = lockWebView();
    if (!webView) return;
    if (auto delegate = webView->UIDelegate()) delegate->webViewDidClose(webView);
    releaseLater(std::move(webView));
  });
  QObject::connect(page_, &QWebEnginePage::newWindowRequested, connections_,
                   [this](QWebEngineNewWindowRequest& request) { newWindowRequested(request); });

  // Reading the configuration is all a peer may do while the web view is being made.
  configurationWatch_.emplace(webView_, [this] { applyPreferences(); }, [this] { applyScriptMessageNames(); });
  customUserAgentDidChange();
}

WebEngineViewPeer::~WebEngineViewPeer() {
  configurationWatch_.reset();
  if (page_) {
    page_->setEvents(nullptr);
    delete connections_;
    page_->triggerAction(QWebEnginePage::Stop);
  }
  if (!document_.isEmpty()) profile_->documents().removeDocument(document_);
  // The page goes with its view, before the profile (declared first, destroyed last).
  delete view_;
}

std::size_t WebEngineViewPeer::liveViewCount() { return liveViews; }

std::size_t WebEngineViewPeer::livePageCount() { return livePages; }

std::shared_ptr<WKWebView> WebEngineViewPeer::lockWebView() const {
  return std::static_pointer_cast<WKWebView>(webView_.weak_from_this().lock());
}

void WebEngineViewPeer::applyPreferences() {
  if (!page_) return;
  const bool canOpen = webView_.configuration()->preferences()->javaScriptCanOpenWindowsAutomatically();
  page_->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, canOpen);
}

void WebEngineViewPeer::applyScriptMessageNames() {
  if (!bridge_) return;
  bridge_->setNames(webView_.configuration()->userContentController()->scriptMessageHandlerNames());
}

void WebEngineViewPeer::customUserAgentDidChange() { profile_->setUserAgent(webView_.customUserAgent()); }

void WebEngineViewPeer::loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                                       const std::shared_ptr<WKNavigation>& navigation,
                                       platform::WKDocumentScriptMessages messages) {
  if (!page_) return;
  pendingNavigation_ = navigation;
  rendererGone_ = false;
  // The bytes with their length: a NUL in the text must not end the document there.
  QByteArray bytes(html.data(), static_cast<qsizetype>(html.size()));
  const QUrl previous = document_;
  document_ = QUrl();
  if (!baseURL && CheckoutSchemeHandler::schemeRegistered()) {
    // No base address: an opaque origin, as about:blank's on the platform; any size.
    // One that posts no messages is served where the script bridge is not set up.
    document_ = profile_->documents().addDocument(std::move(bytes), messages == platform::WKDocumentScriptMessages::mayPost);
    page_->load(document_);
  } else {
    if (bytes.size() >= kTextDocumentLimit) {
      platform::NSLog("velquor: a document of 2 MiB or more with a base address may not load in Qt WebEngine");
    }
    page_->setContent(bytes, QStringLiteral("text/html;charset=UTF-8"),
                      baseURL ? QUrl(QString::fromStdString(*baseURL)) : QUrl());
  }
  if (!previous.isEmpty()) profile_->documents().removeDocument(previous);
}

void WebEngineViewPeer::stopLoading() {
  if (page_) page_->triggerAction(QWebEnginePage::Stop);
}

bool WebEngineViewPeer::isLoading() const { return page_ && page_->isLoading(); }

void WebEngineViewPeer::deliverScriptMessage(ScriptBridge::Message message) {
  auto webView = lockWebView();
  if (!webView) return;
  webView->receiveScriptMessage(message.name, std::move(message.body.value), message.frame);
  releaseLater(std::move(webView));
}

void WebEngineViewPeer::loadingChanged(const QWebEngineLoadingInfo& info) {
  // A load the renderer had may still end in a new one; that page is not the one the app knows.
  if (rendererGone_) return;
  if (refusedURL_ && info.url() == *refusedURL_) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
    refusedURL_.reset();
    if (auto refusal = std::exchange(refusal_, std::nullopt)) reportRefusedLoad(*refusal);
    return;
  }
  auto webView = lockWebView();
  if (!webView) return;
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    endCurrentNavigation(*webView);
    auto navigation = pendingNavigation_ ? std::move(pendingNavigation_) : std::make_shared<WKNavigation>();
    pendingNavigation_.reset();
    currentNavigation_ = navigation;
    committedURL_.reset();
    webView->notifyDidStartProvisionalNavigation(navigation);
    releaseLater(std::move(webView));
    return;
  }
  // The engine reports a document that navigates away while it loads (a form submitted as it is
  // parsed, a script in onload) as one load with the last one's end: the one that committed had
  // loaded, and the end is the next one's.
  if (committedURL_ && !sameDocument(*committedURL_, info.url())) {
    endCurrentNavigation(*webView);
    startMergedNavigation(*webView);
  }
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      loaded(*webView, info.url(),
             info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0);
      break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
      // An HTTP error status is a response like any other: the server's page is shown, as WebKit
      // shows it; the status goes to the delegate's response decision.
      if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        loaded(*webView, info.url(), info.errorCode());
      } else {
        reportLoadFailure(errorFrom(info));
      }
      break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      if (currentNavigation_) {
        auto navigation = std::move(currentNavigation_);
        currentNavigation_.reset();
        const bool committed = committedURL_.has_value();
        committedURL_.reset();
        if (committed) {
          webView->notifyDidFailNavigation(navigation, cancelledError(errorFrom(info)));
        } else {
          webView->notifyDidFailProvisionalNavigation(navigation, cancelledError(errorFrom(info)));
        }
      }
      break;
  }
  releaseLater(std::move(webView));
}

void WebEngineViewPeer::urlChanged(const QUrl& url) {
  // A cold page's first document has no page before it: neither has a prewarmed one's.
  if (std::exchange(forgetPrewarmHistory_, false) && page_) page_->history()->clear();
  if (rendererGone_ || !currentNavigation_) return;
  auto webView = lockWebView();
  if (!webView) return;
  if (!committedURL_) {
    committedURL_ = url;
    webView->notifyDidCommitNavigation(currentNavigation_);
  } else if (!sameDocument(*committedURL_, url)) {
    // Another document took this one's place within one load (see loadingChanged).
    endCurrentNavigation(*webView);
    startMergedNavigation(*webView);
    committedURL_ = url;
    webView->notifyDidCommitNavigation(currentNavigation_);
  }
  releaseLater(std::move(webView));
}

bool WebEngineViewPeer::sameDocument(const QUrl& a, const QUrl& b) {
  return a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

void WebEngineViewPeer::endCurrentNavigation(WKWebView& webView) {
  if (!currentNavigation_) return;
  auto navigation = std::move(currentNavigation_);
  currentNavigation_.reset();
  if (std::exchange(committedURL_, std::nullopt)) {
    // Shown, and left for the next one.
    webView.notifyDidFinishNavigation(navigation);
    return;
  }
  // Another one took its place before it was shown, without a word from the engine.
  webView.notifyDidFailProvisionalNavigation(navigation, cancelledError(abortedError()));
}

void WebEngineViewPeer::startMergedNavigation(WKWebView& webView) {
  currentNavigation_ = std::make_shared<WKNavigation>();
  webView.notifyDidStartProvisionalNavigation(currentNavigation_);
}

void WebEngineViewPeer::loaded(WKWebView& webView, const QUrl& url, long statusCode) {
  auto navigation = currentNavigation_ ? std::move(currentNavigation_) : std::make_shared<WKNavigation>();
  currentNavigation_.reset();
  const bool committed = std::exchange(committedURL_, std::nullopt).has_value();
  // A document given as text has no response, as on the platform.
  if (!CheckoutSchemeHandler::isDocumentURL(url) && url.scheme() != QLatin1String("data") &&
      url.scheme() != QLatin1String("about")) {
    const platform::WKNavigationResponse response(true, statusCode, url.toString().toStdString());
    if (webView.decidePolicyForNavigationResponse(response) == platform::WKNavigationResponsePolicy::Cancel) {
      // The engine has shown it already; what the delegate refused goes, and is reported as WebKit
      // reports a response it was told to ignore.
      if (page_) page_->triggerAction(QWebEnginePage::Stop);
      webView.notifyDidFailProvisionalNavigation(navigation, refusedResponseError(url));
      return;
    }
  }
  if (!committed) webView.notifyDidCommitNavigation(navigation);
  webView.notifyDidFinishNavigation(navigation);
}

void WebEngineViewPeer::reportLoadFailure(const NSError& error) {
  if (loadFailed_) {
    const auto& info = error.userInfo();
    auto url = info.find(platform::NSURLErrorFailingURLStringErrorKey);
    loadFailed_(url != info.end() ? std::get<std::string>(url->second) : std::string(), error);
  }
  auto webView = lockWebView();
  if (!webView) return;
  auto navigation = currentNavigation_ ? std::move(currentNavigation_) : std::make_shared<WKNavigation>();
  currentNavigation_.reset();
  // With the engine's error pages off a failed load leaves the last document: it fails before it
  // is shown, unless its document had been.
  if (std::exchange(committedURL_, std::nullopt)) {
    webView->notifyDidFailNavigation(navigation, error);
  } else {
    webView->notifyDidFailProvisionalNavigation(navigation, error);
  }
  releaseLater(std::move(webView));
}

void WebEngineViewPeer::reportRefusedLoad(const NSError& error) {
  if (loadFailed_) {
    const auto& info = error.userInfo();
    auto url = info.find(platform::NSURLErrorFailingURLStringErrorKey);
    loadFailed_(url != info.end() ? std::get<std::string>(url->second) : std::string(), error);
  }
  auto webView = lockWebView();
  if (!webView) return;
  // No navigation began, none will finish: the refusal is all there is of it.
  webView->notifyDidFailProvisionalNavigation(std::make_shared<WKNavigation>(), error);
  releaseLater(std::move(webView));
}

void WebEngineViewPeer::consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level, const QString& message) {
  // The engine refuses a page's navigation to a local file before anything starts, and tells only
  // the page's console.
  static const QString refused = QStringLiteral("Not allowed to load local resource: ");
  if (level != QWebEnginePage::ErrorMessageLevel || !message.startsWith(refused)) return;
  reportRefusedLoad(refusedSchemeError(QUrl(message.mid(refused.size()))));
}

void WebEngineViewPeer::renderProcessTerminated() {
  // The page and the load under way went with the process; what the engine still says of that load
  // (it may finish it in a new renderer) is not reported.
  rendererGone_ = true;
  pendingNavigation_.reset();
  currentNavigation_.reset();
  committedURL_.reset();
  if (page_) page_->triggerAction(QWebEnginePage::Stop);
  auto webView = lockWebView();
  if (!webView) return;
  webView->notifyWebContentProcessDidTerminate();
  releaseLater(std::move(webView));
}

bool WebEngineViewPeer::acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType, bool isMainFrame) {
  if (rendererGone_ && isMainFrame) return false;
  const bool loadable = isLoadableScheme(url);
  bool allowed = loadable;
  if (loadable) {
    auto webView = lockWebView();
    if (!webView) return false;
    allowed = webView->decidePolicyForNavigationAction(url.toString().toStdString()) == WKNavigationActionPolicy::Allow;
    releaseLater(std::move(webView));
  }
  if (!allowed && isMainFrame) {
    // The engine still starts and stops a refused main-frame load; the delegate hears only of a
    // refusal that is the toolkit's own.
    refusedURL_ = url;
    refusal_ = loadable ? std::nullopt : std::optional<NSError>(refusedSchemeError(url));
  } else if (!loadable) {
    reportRefusedLoad(refusedSchemeError(url));
  }
  return allowed;
}

void WebEngineViewPeer::scriptAlert(const QString& message) {
  // A page's alert goes to the UI delegate; the engine's page goes on at once.
  auto webView = lockWebView();
  if (!webView) return;
  if (auto delegate = webView->UIDelegate()) {
    delegate->runJavaScriptAlertPanelWithMessage(webView, message.toStdString(), [] {});
  }
  releaseLater(std::move(webView));
}

void WebEngineViewPeer::newWindowRequested(QWebEngineNewWindowRequest& request) {
  auto webView = lockWebView();
  if (!webView) return;
  // The UI delegate decides; its default opens no window. A web view it returns loads the address.
  if (auto delegate = webView->UIDelegate()) {
    const auto url = request.requestedUrl();
    auto opened = delegate->createWebViewWithConfiguration(webView, webView->configuration(), url.toString().toStdString());
    if (auto* peer = opened ? dynamic_cast<WebEngineViewPeer*>(opened->peer()) : nullptr; peer && peer->page()) {
      peer->page()->load(url);
    }
  }
  releaseLater(std::move(webView));
}

}  // namespace velquor::qt
