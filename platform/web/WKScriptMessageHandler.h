#pragma once

#include <velquor/platform/WKScriptMessage.h>

#include <memory>

namespace velquor::platform {

class WKUserContentController;

class WKScriptMessageHandler {
 public:
  virtual ~WKScriptMessageHandler() = default;
  // `userContentController:didReceiveScriptMessage:`
  virtual void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>& userContentController,
                                       const WKScriptMessage& message) = 0;
};

}  // namespace velquor::platform
