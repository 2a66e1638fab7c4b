#pragma once

#include "EnginePage.h"
#include "ScriptBridge.h"

#include <velquor/platform/NSError.h>
#include <velquor/platform/NSObject.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WebViewConfigurationWatch.h>
#include <velquor/platform/WebViewPeer.h>

#include <QPointer>
#include <QUrl>
#include <QWebEngineView>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

namespace velquor::qt {

class WebProfile;

// The Qt WebEngine engine of one WKWebView: a QWebEngineView and its page on the toolkit's
// profile, kept in step with the web view's configuration, and reporting navigations and script
// messages back to the web view as the GTK toolkit reports WebKit's.
class WebEngineViewPeer final : public platform::WebViewPeer, private EnginePageEvents {
 public:
  // `loadFailed` hears of every load that fails (not one that was cancelled), before the web view's
  // navigation delegate does.
  using LoadFailureObserver = std::function<void(const std::string& url, const platform::NSError& error)>;

  // `prewarmed`: a page of `profile` with its renderer up and a blank document, which the peer
  // takes over (as its own from then on) instead of making one.
  WebEngineViewPeer(platform::WKWebView& webView, std::shared_ptr<WebProfile> profile,
                    LoadFailureObserver loadFailed = {}, EnginePage* prewarmed = nullptr);
  ~WebEngineViewPeer() override;

  QWebEngineView* view() const { return view_; }
  EnginePage* page() const { return page_; }

  static std::size_t liveViewCount();
  static std::size_t livePageCount();

  // platform::WebViewPeer
  void customUserAgentDidChange() override;
  void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                      const std::shared_ptr<platform::WKNavigation>& navigation,
                      platform::WKDocumentScriptMessages messages) override;
  void stopLoading() override;
  bool isLoading() const override;

 private:
  std::shared_ptr<platform::WKWebView> lockWebView() const;
  void applyPreferences();
  void applyScriptMessageNames();
  void deliverScriptMessage(ScriptBridge::Message message);
  void loadingChanged(const QWebEngineLoadingInfo& info);
  // The engine shows a new document (it commits): the only sign of it Qt WebEngine gives.
  void urlChanged(const QUrl& url);
  static bool sameDocument(const QUrl& a, const QUrl& b);
  // Reports the navigation under way as finished when its document was shown, else as cancelled.
  void endCurrentNavigation(platform::WKWebView& webView);
  void startMergedNavigation(platform::WKWebView& webView);
  // The main frame's response is in (`statusCode` 0: not HTTP): asks the delegate, then reports the
  // page shown; or, refused, stops it and reports the refusal.
  void loaded(platform::WKWebView& webView, const QUrl& url, long statusCode);
  void reportLoadFailure(const platform::NSError& error);
  // A load the engine or the toolkit refused to start: on a navigation of its own.
  void reportRefusedLoad(const platform::NSError& error);
  void renderProcessTerminated();
  void newWindowRequested(QWebEngineNewWindowRequest& request);

  // EnginePageEvents
  bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame) override;
  void scriptAlert(const QString& message) override;
  void consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level, const QString& message) override;

  // Declared first: it goes after the view and page, as Qt WebEngine requires.
  std::shared_ptr<WebProfile> profile_;
  platform::WKWebView& webView_;
  LoadFailureObserver loadFailed_;
  QPointer<QWebEngineView> view_;
  QPointer<EnginePage> page_;
  // Qt deletes them with the view when the app's window takes the view along: then they read null.
  QPointer<ScriptBridge> bridge_;
  QPointer<QObject> connections_;
  QUrl document_;

  std::optional<platform::WebViewConfigurationWatch> configurationWatch_;

  // The navigation of the last loadHTMLString, until the engine starts it; then the one under way.
  std::shared_ptr<platform::WKNavigation> pendingNavigation_;
  std::shared_ptr<platform::WKNavigation> currentNavigation_;
  // A main-frame load the toolkit refused: its start and stop are not the delegate's to hear of,
  // only the refusal when it is the toolkit's own (a scheme it does not load).
  std::optional<QUrl> refusedURL_;
  std::optional<platform::NSError> refusal_;
  // Where the navigation under way committed; none before it does.
  std::optional<QUrl> committedURL_;
  // After the renderer's end nothing the engine says of the load it had is reported.
  bool rendererGone_ = false;
  // A prewarmed page has its blank document in its history until the first document of its own.
  bool forgetPrewarmHistory_ = false;
};

}  // namespace velquor::qt
