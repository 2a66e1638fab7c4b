#include "WKScriptMessage.h"

namespace velquor::platform {

WKScriptMessage::WKScriptMessage(std::string name, std::optional<nlohmann::json> body, std::weak_ptr<WKWebView> webView)
    : name_(std::move(name)), body_(std::move(body)), webView_(std::move(webView)) {}

}  // namespace velquor::platform
