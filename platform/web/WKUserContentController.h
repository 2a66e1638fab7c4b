#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/WKContentWorld.h>
#include <velquor/platform/WKScriptMessageHandler.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velquor::platform {

// The script-message channels of the web views that share it. A registration holds its handler
// strongly until it is removed (register a WeakScriptMessageHandler to hold yours weakly).
class VELQUOR_PLATFORM_EXPORT WKUserContentController : public NSObject {
 public:
  ~WKUserContentController() override;
  // Page script posts to the handler with window.webkit.messageHandlers.<name>.postMessage(value).
  // A name that is already registered (in any world) throws std::invalid_argument, as the
  // platform refuses it.
  void addScriptMessageHandler(std::shared_ptr<WKScriptMessageHandler> handler, const std::string& name);
  // The same, the handler living in `world` (see WKContentWorld).
  void addScriptMessageHandler(std::shared_ptr<WKScriptMessageHandler> handler, const WKContentWorld& world,
                               const std::string& name);
  void removeScriptMessageHandlerForName(const std::string& name);
  void removeAllScriptMessageHandlers();

  std::vector<std::string> scriptMessageHandlerNames() const;
  std::shared_ptr<WKScriptMessageHandler> scriptMessageHandlerForName(const std::string& name) const;
  // The world the handler under `name` lives in; none when no handler has that name.
  std::optional<WKContentWorld> contentWorldForScriptMessageHandler(const std::string& name) const;

  // For toolkits: hands a message that page script posted to the handler registered under its
  // name. False when no handler is registered under that name.
  bool didReceiveScriptMessage(const WKScriptMessage& message);

 private:
  struct Registration {
    std::shared_ptr<WKScriptMessageHandler> handler;
    WKContentWorld world;
  };
  std::map<std::string, Registration> handlers_;
};

}  // namespace velquor::platform
