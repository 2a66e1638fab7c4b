#include "WKUserContentController.h"

#include <stdexcept>

namespace velquor::platform {

void WKUserContentController::addScriptMessageHandler(std::shared_ptr<WKScriptMessageHandler> handler,
                                                      const std::string& name) {
  addScriptMessageHandler(std::move(handler), WKContentWorld::pageWorld(), name);
}

void WKUserContentController::addScriptMessageHandler(std::shared_ptr<WKScriptMessageHandler> handler,
                                                      const WKContentWorld& world, const std::string& name) {
  if (!handler) throw std::invalid_argument("script message handler is null");
  if (handlers_.contains(name)) throw std::invalid_argument("a script message handler is already registered as " + name);
  handlers_.emplace(name, Registration{std::move(handler), world});
  didChangeValue();
}

void WKUserContentController::removeScriptMessageHandlerForName(const std::string& name) {
  if (handlers_.erase(name) > 0) didChangeValue();
}

void WKUserContentController::removeAllScriptMessageHandlers() {
  if (handlers_.empty()) return;
  handlers_.clear();
  didChangeValue();
}

std::vector<std::string> WKUserContentController::scriptMessageHandlerNames() const {
  std::vector<std::string> names;
  names.reserve(handlers_.size());
  for (const auto& [name, registration] : handlers_) names.push_back(name);
  return names;
}

std::shared_ptr<WKScriptMessageHandler> WKUserContentController::scriptMessageHandlerForName(const std::string& name) const {
  auto it = handlers_.find(name);
  return it == handlers_.end() ? nullptr : it->second.handler;
}

std::optional<WKContentWorld> WKUserContentController::contentWorldForScriptMessageHandler(const std::string& name) const {
  auto it = handlers_.find(name);
  if (it == handlers_.end()) return std::nullopt;
  return it->second.world;
}

bool WKUserContentController::didReceiveScriptMessage(const WKScriptMessage& message) {
  // Keep the handler alive through the call, even if it unregisters itself.
  auto handler = scriptMessageHandlerForName(message.name());
  if (!handler) return false;
  handler->didReceiveScriptMessage(shared_from(this), message);
  return true;
}

WKUserContentController::~WKUserContentController() = default;

}  // namespace velquor::platform
