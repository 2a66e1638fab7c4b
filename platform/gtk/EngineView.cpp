#include "EngineView.h"

namespace velquor::gtk {

namespace {

struct VelquorEngineView {
  WebKitWebView parent;
  EngineEvents* events;
};

struct VelquorEngineViewClass {
  WebKitWebViewClass parentClass;
};

G_DEFINE_TYPE(VelquorEngineView, velquor_engine_view, WEBKIT_TYPE_WEB_VIEW)

EngineEvents* eventsOf(WebKitWebView* view) { return reinterpret_cast<VelquorEngineView*>(view)->events; }

WebKitWebViewClass* parentClass() { return WEBKIT_WEB_VIEW_CLASS(velquor_engine_view_parent_class); }

void loadChanged(WebKitWebView* view, WebKitLoadEvent event) {
  if (auto* events = eventsOf(view)) events->loadChanged(event);
  if (parentClass()->load_changed) parentClass()->load_changed(view, event);
}

gboolean loadFailed(WebKitWebView* view, WebKitLoadEvent event, const char* uri, GError* error) {
  if (auto* events = eventsOf(view)) events->loadFailed(event, uri, error);
  return TRUE;  // handled: no error page
}

gboolean decidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
  if (auto* events = eventsOf(view); events && events->decidePolicy(decision, type)) return TRUE;
  return parentClass()->decide_policy ? parentClass()->decide_policy(view, decision, type) : FALSE;
}

GtkWidget* create(WebKitWebView* view, WebKitNavigationAction* action) {
  if (auto* events = eventsOf(view)) events->create(action);
  return nullptr;  // WebKit itself opens no window
}

void close(WebKitWebView* view) {
  if (auto* events = eventsOf(view)) events->close();
}

gboolean scriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog) {
  if (auto* events = eventsOf(view)) events->scriptDialog(dialog);
  return TRUE;  // handled: no WebKit panel
}

void webProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason) {
  if (auto* events = eventsOf(view)) events->webProcessTerminated(reason);
}

gboolean userMessageReceived(WebKitWebView* view, WebKitUserMessage* message) {
  if (auto* events = eventsOf(view); events && events->userMessage(message)) return TRUE;
  return parentClass()->user_message_received ? parentClass()->user_message_received(view, message) : FALSE;
}

void velquor_engine_view_class_init(VelquorEngineViewClass* viewClass) {
  auto* webViewClass = WEBKIT_WEB_VIEW_CLASS(viewClass);
  webViewClass->load_changed = loadChanged;
  webViewClass->load_failed = loadFailed;
  webViewClass->decide_policy = decidePolicy;
  webViewClass->create = create;
  webViewClass->close = close;
  webViewClass->script_dialog = scriptDialog;
  webViewClass->web_process_terminated = webProcessTerminated;
  webViewClass->user_message_received = userMessageReceived;
}

void velquor_engine_view_init(VelquorEngineView* view) { view->events = nullptr; }

}  // namespace

WebKitWebView* newEngineView(WebKitWebContext* context, WebKitNetworkSession* session, WebKitSettings* settings,
                             WebKitUserContentManager* contentManager, WebKitWebView* relatedView) {
  // WebKit takes context and session from a related view and refuses them given beside it.
  if (relatedView) {
    return WEBKIT_WEB_VIEW(g_object_new(velquor_engine_view_get_type(), "related-view", relatedView, "settings", settings,
                                        "user-content-manager", contentManager, nullptr));
  }
  return WEBKIT_WEB_VIEW(g_object_new(velquor_engine_view_get_type(), "web-context", context, "network-session", session,
                                      "settings", settings, "user-content-manager", contentManager, nullptr));
}

void setEngineEvents(WebKitWebView* view, EngineEvents* events) {
  if (G_TYPE_CHECK_INSTANCE_TYPE(view, velquor_engine_view_get_type())) {
    reinterpret_cast<VelquorEngineView*>(view)->events = events;
  }
}

}  // namespace velquor::gtk
