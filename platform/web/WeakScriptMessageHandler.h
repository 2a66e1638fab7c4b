#pragma once

#include <velquor/platform/VelquorPlatformExport.h>
#include <velquor/platform/WKScriptMessageHandler.h>

#include <memory>

namespace velquor::platform {

// Registered in a handler's place, so that the registration holds the handler weakly: a screen
// that registers itself can then go away whatever becomes of its web view, and messages that
// arrive after it has gone are dropped.
class VELQUOR_PLATFORM_EXPORT WeakScriptMessageHandler final : public WKScriptMessageHandler {
 public:
  explicit WeakScriptMessageHandler(std::weak_ptr<WKScriptMessageHandler> handler);
  ~WeakScriptMessageHandler() override;

  std::shared_ptr<WKScriptMessageHandler> handler() const { return handler_.lock(); }

  void didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>& userContentController,
                               const WKScriptMessage& message) override;

 private:
  std::weak_ptr<WKScriptMessageHandler> handler_;
};

}  // namespace velquor::platform
