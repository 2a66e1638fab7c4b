#include "WebKitWebViewPeer.h"

#include "BlockedLoad.h"
#include "MainLoop.h"

#include <velquor/platform/NSError.h>
#include <velquor/platform/WKNavigationResponse.h>

#include <malloc.h>

namespace velquor::gtk {

using platform::NSError;
using platform::WKNavigation;
using platform::WKNavigationActionPolicy;
using platform::WKWebView;

namespace {

std::size_t liveEngines = 0;

// A checkout's page leaves a few megabytes of freed heap scattered over the arenas of WebKit's
// threads, which malloc keeps for later; once no page is left, give it back, so that an app's
// resident size does not creep up with each checkout.
void engineFinalized(gpointer, GObject*) {
  if (--liveEngines == 0) malloc_trim(0);
}

NSError errorFrom(const GError* error, const char* uri) {
  platform::NSErrorUserInfo userInfo;
  userInfo[platform::NSLocalizedDescriptionKey] = std::string(error && error->message ? error->message : "");
  if (uri) userInfo[platform::NSURLErrorFailingURLStringErrorKey] = std::string(uri);
  const char* domain = error ? g_quark_to_string(error->domain) : nullptr;
  NSError engineError(domain ? domain : "WebKitError", error ? error->code : 0, userInfo);
  if (!g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)) return engineError;
  // Another navigation took this one's place, or it was stopped: told as the platform tells it.
  userInfo[platform::NSUnderlyingErrorKey] = std::make_shared<const NSError>(std::move(engineError));
  return NSError(platform::NSURLErrorDomain, platform::NSURLErrorCancelled, std::move(userInfo));
}

// A callback may drop the last reference to the web view (an app dismissing the checkout from a
// delegate call); its peer must not be destroyed under the signal that is calling it.
void releaseLater(std::shared_ptr<WKWebView> webView) {
  postToMainLoop([webView = std::move(webView)] {});
}

std::string requestURI(WebKitNavigationAction* action) {
  WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
  const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
  return uri ? uri : "";
}

// A script alert handed to the UI delegate. A completion run at once (the default) lets WebKit
// finish the alert when the signal returns; a later one closes the alert, which is held until
// then, or until nobody can run the completion any more.
struct PendingScriptDialog {
  ~PendingScriptDialog() { close(); }
  void complete() {
    completed = true;
    close();
  }
  void holdUnlessCompleted(WebKitScriptDialog* scriptDialog) {
    if (!completed) dialog = webkit_script_dialog_ref(scriptDialog);
  }
  void close() {
    if (!dialog) return;
    webkit_script_dialog_close(dialog);
    webkit_script_dialog_unref(dialog);
    dialog = nullptr;
  }
  bool completed = false;
  WebKitScriptDialog* dialog = nullptr;
};

// Answered by nobody: it only makes WebKit launch the engine's process.
constexpr const char* kLaunchMessageName = "velquor.launch";

// WebKit would launch the engine's process only at its first load, which the checkout makes once
// its screen has slid in. A message to the engine's (still empty) page launches it now, so that it
// starts during the slide, with no page or load of its own for the page the web view loads to wait
// behind. (A hidden view related to the engine, or a blank page of the engine's, also launches it,
// but the process then makes, or loads, that page before the web view's.) The launch takes the main
// loop for some tens of milliseconds; a slide's time counts from the present call, so the slide
// does not end later for it.
void launchProcess(WebKitWebView* engine) {
  webkit_web_view_send_message_to_page(engine, webkit_user_message_new(kLaunchMessageName, nullptr), nullptr, nullptr,
                                       nullptr);
}

}  // namespace

WebKitWebViewPeer::WebKitWebViewPeer(WKWebView& webView, WebKitWebContext* context, WebKitNetworkSession* session,
                                     WebKitWebView* sharedProcessView, LoadFailureObserver loadFailed)
    : webView_(webView),
      settings_(GObjectRef<WebKitSettings>::adopt(webkit_settings_new())),
      contentManager_(GObjectRef<WebKitUserContentManager>::adopt(webkit_user_content_manager_new())),
      engine_(GObjectRef<WebKitWebView>::retain(
          newEngineView(context, session, settings_.get(), contentManager_.get(),
                        sharedProcessView))),
      channels_(contentManager_.get(),
                [this](const std::string& name, ScriptMessage message) { deliverScriptMessage(name, std::move(message)); }),
      loadFailed_(std::move(loadFailed)) {
  ++liveEngines;
  g_object_weak_ref(G_OBJECT(engine_.get()), engineFinalized, nullptr);
  gtk_widget_set_hexpand(widget(), TRUE);
  gtk_widget_set_vexpand(widget(), TRUE);

  setEngineEvents(engine_.get(), this);

  // Reading the configuration is all a peer may do while the web view is being made.
  configurationWatch_.emplace(webView_, [this] { applyPreferences(); }, [this] { applyScriptMessageNames(); });
  customUserAgentDidChange();
  if (!sharedProcessView) launchProcess(engine_.get());
}

WebKitWebViewPeer::~WebKitWebViewPeer() {
  setEngineEvents(engine_.get(), nullptr);
  webkit_web_view_stop_loading(engine_.get());
}

std::size_t WebKitWebViewPeer::liveCount() { return liveEngines; }

std::shared_ptr<WKWebView> WebKitWebViewPeer::lockWebView() const {
  return std::static_pointer_cast<WKWebView>(webView_.weak_from_this().lock());
}

void WebKitWebViewPeer::applyPreferences() {
  const bool canOpen = webView_.configuration()->preferences()->javaScriptCanOpenWindowsAutomatically();
  webkit_settings_set_javascript_can_open_windows_automatically(settings_.get(), canOpen);
}

void WebKitWebViewPeer::applyScriptMessageNames() {
  auto userContentController = webView_.configuration()->userContentController();
  std::vector<ScriptMessageChannels::Registration> registrations;
  for (const auto& name : userContentController->scriptMessageHandlerNames()) {
    registrations.push_back({name, userContentController->contentWorldForScriptMessageHandler(name).value()});
  }
  channels_.sync(registrations);
}

void WebKitWebViewPeer::customUserAgentDidChange() {
  const auto& userAgent = webView_.customUserAgent();
  // The whole text replaces WebKit's; none (or empty) gives WebKit's own back.
  webkit_settings_set_user_agent(settings_.get(), userAgent ? userAgent->c_str() : nullptr);
}

void WebKitWebViewPeer::loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                                       const std::shared_ptr<WKNavigation>& navigation,
                                       platform::WKDocumentScriptMessages) {
  // Not used here: handlers in the page's world cost a document nothing until it posts. (Those in a
  // client world come with user scripts in every document, which could skip such a one.)
  pendingNavigation_ = navigation;
  // The bytes with their length: a NUL in the text must not end the document there. No base
  // address: the document is about:blank, as on the platform.
  GBytes* bytes = g_bytes_new(html.data(), html.size());
  webkit_web_view_load_bytes(engine_.get(), bytes, "text/html", "UTF-8", baseURL ? baseURL->c_str() : nullptr);
  g_bytes_unref(bytes);
}

void WebKitWebViewPeer::stopLoading() { webkit_web_view_stop_loading(engine_.get()); }

bool WebKitWebViewPeer::isLoading() const { return webkit_web_view_is_loading(engine_.get()); }

void WebKitWebViewPeer::deliverScriptMessage(const std::string& name, ScriptMessage message) {
  auto webView = lockWebView();
  if (!webView) return;
  webView->receiveScriptMessage(name, std::move(message.body.value), std::move(message.frame));
  releaseLater(std::move(webView));
}

void WebKitWebViewPeer::loadChanged(WebKitLoadEvent event) {
  auto webView = lockWebView();
  if (!webView) return;
  switch (event) {
    case WEBKIT_LOAD_STARTED: {
      auto navigation = pendingNavigation_ ? std::move(pendingNavigation_) : std::make_shared<WKNavigation>();
      pendingNavigation_.reset();
      currentNavigation_ = navigation;
      currentFailed_ = false;
      webView->notifyDidStartProvisionalNavigation(navigation);
      break;
    }
    case WEBKIT_LOAD_REDIRECTED:
      break;
    case WEBKIT_LOAD_COMMITTED:
      if (!currentNavigation_) currentNavigation_ = std::make_shared<WKNavigation>();
      webView->notifyDidCommitNavigation(currentNavigation_);
      break;
    case WEBKIT_LOAD_FINISHED: {
      auto navigation = std::move(currentNavigation_);
      currentNavigation_.reset();
      // WebKit finishes a failed load too; it was reported as failed, not finished.
      if (std::exchange(currentFailed_, false)) break;
      webView->notifyDidFinishNavigation(navigation ? navigation : std::make_shared<WKNavigation>());
      break;
    }
  }
  releaseLater(std::move(webView));
}

void WebKitWebViewPeer::loadFailed(WebKitLoadEvent event, const char* uri, GError* error) {
  currentFailed_ = true;
  reportLoadFailure(event, errorFrom(error, uri));
}

void WebKitWebViewPeer::reportLoadFailure(WebKitLoadEvent event, const NSError& error) {
  const bool cancelled = error.domain() == platform::NSURLErrorDomain && error.code() == platform::NSURLErrorCancelled;
  if (loadFailed_ && !cancelled) {
    const auto& info = error.userInfo();
    auto url = info.find(platform::NSURLErrorFailingURLStringErrorKey);
    loadFailed_(url != info.end() ? std::get<std::string>(url->second) : std::string(), error);
  }
  auto webView = lockWebView();
  if (!webView) return;
  auto navigation = currentNavigation_ ? currentNavigation_ : std::make_shared<WKNavigation>();
  if (event == WEBKIT_LOAD_COMMITTED) {
    webView->notifyDidFailNavigation(navigation, error);
  } else {
    webView->notifyDidFailProvisionalNavigation(navigation, error);
  }
  releaseLater(std::move(webView));
}

void WebKitWebViewPeer::webProcessTerminated(WebKitWebProcessTerminationReason) {
  // The page and the load under way went with the process; WebKit reports neither again.
  pendingNavigation_.reset();
  currentNavigation_.reset();
  currentFailed_ = false;
  auto webView = lockWebView();
  if (!webView) return;
  webView->notifyWebContentProcessDidTerminate();
  releaseLater(std::move(webView));
}

bool WebKitWebViewPeer::userMessage(WebKitUserMessage* message) {
  auto blocked = blockedLoadFromMessage(message);
  if (!blocked) return false;
  // The engine refused to start the load at all: no navigation began, none will finish.
  reportLoadFailure(WEBKIT_LOAD_STARTED, *blocked);
  return true;
}

bool WebKitWebViewPeer::decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
  auto webView = lockWebView();
  if (!webView) return false;
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    const char* uri = webkit_uri_response_get_uri(response);
    const platform::WKNavigationResponse navigationResponse(
        webkit_response_policy_decision_is_main_frame_main_resource(responseDecision) != FALSE,
        static_cast<long>(webkit_uri_response_get_status_code(response)), uri ? uri : "");
    const bool allowed =
        webView->decidePolicyForNavigationResponse(navigationResponse) == platform::WKNavigationResponsePolicy::Allow;
    releaseLater(std::move(webView));
    if (allowed) return false;  // WebKit's own handling: shown, or downloaded when it cannot be shown
    webkit_policy_decision_ignore(decision);
    return true;
  }
  auto* action = webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  if (webView->decidePolicyForNavigationAction(requestURI(action)) == WKNavigationActionPolicy::Allow) {
    webkit_policy_decision_use(decision);
  } else {
    webkit_policy_decision_ignore(decision);
  }
  releaseLater(std::move(webView));
  return true;
}

void WebKitWebViewPeer::create(WebKitNavigationAction* action) {
  auto webView = lockWebView();
  if (!webView) return;
  // The UI delegate decides; its default opens no window. A web view it returns loads the address,
  // but WebKit itself opens no window (a WKWebView is made before WebKit could relate it).
  if (auto delegate = webView->UIDelegate()) {
    const auto uri = requestURI(action);
    auto opened = delegate->createWebViewWithConfiguration(webView, webView->configuration(), uri);
    if (auto* peer = opened ? dynamic_cast<WebKitWebViewPeer*>(opened->peer()) : nullptr) {
      webkit_web_view_load_uri(peer->engine(), uri.c_str());
    }
  }
  releaseLater(std::move(webView));
}

void WebKitWebViewPeer::close() {
  auto webView = lockWebView();
  if (!webView) return;
  if (auto delegate = webView->UIDelegate()) delegate->webViewDidClose(webView);
  releaseLater(std::move(webView));
}

void WebKitWebViewPeer::scriptDialog(WebKitScriptDialog* dialog) {
  // As on the platform: a page's alert goes to the UI delegate, a confirm is answered "no", a
  // prompt gets no text, and leaving a page is allowed.
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_ALERT: {
      auto webView = lockWebView();
      auto delegate = webView ? webView->UIDelegate() : nullptr;
      if (delegate) {
        auto pending = std::make_shared<PendingScriptDialog>();
        delegate->runJavaScriptAlertPanelWithMessage(webView, webkit_script_dialog_get_message(dialog),
                                                     [pending] { pending->complete(); });
        pending->holdUnlessCompleted(dialog);
      }
      if (webView) releaseLater(std::move(webView));
      break;
    }
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
      break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      break;
  }
}

}  // namespace velquor::gtk
