#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/WKScriptMessageHandler.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velquor::platform {

// The script-message channels of the web views that share it. A registration holds its handler
// strongly until it is removed.
class VELQUOR_PLATFORM_EXPORT WKUserContentController : public NSObject {
 public:
  ~WKUserContentController() override;
  // Page script posts to the handler with window.webkit.messageHandlers.<name>.postMessage(value).
  // A name that is already registered throws std::invalid_argument, as the platform refuses it.
  void addScriptMessageHandler(std::shared_ptr<WKScriptMessageHandler> handler, const std::string& name);
  void removeScriptMessageHandlerForName(const std::string& name);
  void removeAllScriptMessageHandlers();

  std::vector<std::string> scriptMessageHandlerNames() const;
  std::shared_ptr<WKScriptMessageHandler> scriptMessageHandlerForName(const std::string& name) const;

  // For toolkits: hands a message that page script posted to the handler registered under its
  // name. False when no handler is registered under that name.
  bool didReceiveScriptMessage(const WKScriptMessage& message);

 private:
  std::map<std::string, std::shared_ptr<WKScriptMessageHandler>> handlers_;
};

}  // namespace velquor::platform
