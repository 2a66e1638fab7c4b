#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/WKNavigation.h>
#include <velquor/platform/WKNavigationResponse.h>

#include <memory>
#include <string>

namespace velquor::platform {

class WKWebView;

enum class WKNavigationActionPolicy : long {
  Cancel = 0,
  Allow = 1,
};

// Progress of a web view's navigations. Every operation has the platform's default handling, so a
// delegate overrides only what it acts on.
class WKNavigationDelegate {
 public:
  virtual ~WKNavigationDelegate() = default;

  virtual WKNavigationActionPolicy decidePolicyForNavigationAction(const std::shared_ptr<WKWebView>& /*webView*/,
                                                                  const std::string& /*url*/) {
    return WKNavigationActionPolicy::Allow;
  }
  virtual void didStartProvisionalNavigation(const std::shared_ptr<WKWebView>& /*webView*/,
                                             const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  virtual void didCommitNavigation(const std::shared_ptr<WKWebView>& /*webView*/,
                                   const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  virtual void didFinishNavigation(const std::shared_ptr<WKWebView>& /*webView*/,
                                   const std::shared_ptr<WKNavigation>& /*navigation*/) {}
  virtual void didFailProvisionalNavigation(const std::shared_ptr<WKWebView>& /*webView*/,
                                            const std::shared_ptr<WKNavigation>& /*navigation*/,
                                            const NSError& /*error*/) {}
  virtual void didFailNavigation(const std::shared_ptr<WKWebView>& /*webView*/,
                                 const std::shared_ptr<WKNavigation>& /*navigation*/, const NSError& /*error*/) {}
  // A response has arrived and is about to be shown (Allow) or dropped (Cancel).
  virtual WKNavigationResponsePolicy decidePolicyForNavigationResponse(const std::shared_ptr<WKWebView>& /*webView*/,
                                                                      const WKNavigationResponse& /*navigationResponse*/) {
    return WKNavigationResponsePolicy::Allow;
  }
  // The process that ran the web view's pages has ended (crashed, killed, out of memory): the page
  // is gone and the view shows nothing until something is loaded again.
  virtual void webViewWebContentProcessDidTerminate(const std::shared_ptr<WKWebView>& /*webView*/) {}
};

}  // namespace velquor::platform
