#pragma once

#include "EngineView.h"
#include "GObjectRef.h"
#include "ScriptMessageChannels.h"

#include <velquor/platform/NSObject.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WebViewConfigurationWatch.h>
#include <velquor/platform/WebViewPeer.h>

#include <webkit/webkit.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velquor::gtk {

// The WebKitGTK engine of one WKWebView: a WebKitWebView with its own settings and user content
// manager, kept in step with the web view's configuration, and reporting navigations and script
// messages back to the web view.
class WebKitWebViewPeer final : public platform::WebViewPeer, private EngineEvents {
 public:
  // A non-null `sharedProcessView` (of the same context and session, see prewarm()) gives the engine
  // that view's web process. Without one the engine gets a process of its own, launched now rather
  // than at its first load.
  // `loadFailed` hears of every load that fails (not one that was cancelled), before the web view's
  // navigation delegate does.
  using LoadFailureObserver = std::function<void(const std::string& url, const platform::NSError& error)>;

  WebKitWebViewPeer(platform::WKWebView& webView, WebKitWebContext* context, WebKitNetworkSession* session,
                    WebKitWebView* sharedProcessView = nullptr, LoadFailureObserver loadFailed = {});
  ~WebKitWebViewPeer() override;

  WebKitWebView* engine() const { return engine_.get(); }
  GtkWidget* widget() const { return GTK_WIDGET(engine_.get()); }

  // WebKitWebViews made by peers and not yet finalised.
  static std::size_t liveCount();

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
  void deliverScriptMessage(const std::string& name, ScriptMessage message);
  void reportLoadFailure(WebKitLoadEvent event, const platform::NSError& error);

  // EngineEvents
  void loadChanged(WebKitLoadEvent event) override;
  void loadFailed(WebKitLoadEvent event, const char* uri, GError* error) override;
  bool decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) override;
  void create(WebKitNavigationAction* action) override;
  void close() override;
  void scriptDialog(WebKitScriptDialog* dialog) override;
  void webProcessTerminated(WebKitWebProcessTerminationReason reason) override;
  bool userMessage(WebKitUserMessage* message) override;

  platform::WKWebView& webView_;
  GObjectRef<WebKitSettings> settings_;
  GObjectRef<WebKitUserContentManager> contentManager_;
  GObjectRef<WebKitWebView> engine_;
  ScriptMessageChannels channels_;
  LoadFailureObserver loadFailed_;

  std::optional<platform::WebViewConfigurationWatch> configurationWatch_;

  // The navigation of the last loadHTMLString, until WebKit starts it; then the one under way.
  std::shared_ptr<platform::WKNavigation> pendingNavigation_;
  std::shared_ptr<platform::WKNavigation> currentNavigation_;
  // WebKit ends a failed load with FINISHED too; that one is not reported as finished.
  bool currentFailed_ = false;
};

}  // namespace velquor::gtk
