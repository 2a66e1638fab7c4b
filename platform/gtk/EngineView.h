#pragma once

#include <webkit/webkit.h>

namespace velquor::gtk {

// What the toolkit does for an engine view's default handlers.
class EngineEvents {
 public:
  virtual ~EngineEvents() = default;
  virtual void loadChanged(WebKitLoadEvent event) = 0;
  virtual void loadFailed(WebKitLoadEvent event, const char* uri, GError* error) = 0;
  // False leaves the decision to WebKit.
  virtual bool decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) = 0;
  virtual void create(WebKitNavigationAction* action) = 0;
  virtual void close() = 0;
  virtual void scriptDialog(WebKitScriptDialog* dialog) = 0;
  virtual void webProcessTerminated(WebKitWebProcessTerminationReason reason) = 0;
  // A message from the toolkit's web process extension; false leaves it unhandled.
  virtual bool userMessage(WebKitUserMessage* message) = 0;
};

// A WebKitWebView whose default handlers (its class's, which run after any handler connected to
// the signals) are the toolkit's: an app can still watch load-failed or decide-policy itself,
// and a failed load never shows WebKit's error page, nor a script dialog WebKit's panel.
// Returns a floating reference, like any new widget.
// A non-null `relatedView` shares its web process (and its context and session, which must be the
// ones given).
WebKitWebView* newEngineView(WebKitWebContext* context, WebKitNetworkSession* session, WebKitSettings* settings,
                             WebKitUserContentManager* contentManager, WebKitWebView* relatedView = nullptr);
// Null detaches: the view then opens no windows, shows no panels and no error pages.
void setEngineEvents(WebKitWebView* view, EngineEvents* events);

}  // namespace velquor::gtk
