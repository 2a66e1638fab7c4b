#include "WeakScriptMessageHandler.h"

namespace velquor::platform {

WeakScriptMessageHandler::WeakScriptMessageHandler(std::weak_ptr<WKScriptMessageHandler> handler)
    : handler_(std::move(handler)) {}

WeakScriptMessageHandler::~WeakScriptMessageHandler() = default;

void WeakScriptMessageHandler::didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>& userContentController,
                                                       const WKScriptMessage& message) {
  if (auto handler = handler_.lock()) handler->didReceiveScriptMessage(userContentController, message);
}

}  // namespace velquor::platform
