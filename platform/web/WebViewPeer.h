#pragma once

#include <velquor/platform/WKDocumentScriptMessages.h>
#include <velquor/platform/WKNavigation.h>

#include <memory>
#include <optional>
#include <string>

namespace velquor::platform {

// The engine behind one web view, supplied by the installed toolkit. The web view forwards the
// operations that need an engine; the peer reports progress back through the web view's
// notify... operations and hands script messages to the configuration's user content controller.
class WebViewPeer {
 public:
  virtual ~WebViewPeer() = default;

  virtual void customUserAgentDidChange() = 0;
  virtual void loadHTMLString(const std::string& html, const std::optional<std::string>& baseURL,
                              const std::shared_ptr<WKNavigation>& navigation, WKDocumentScriptMessages messages) = 0;
  virtual void stopLoading() = 0;
  virtual bool isLoading() const = 0;
};

}  // namespace velquor::platform
