#include "WKScriptMessage.h"

namespace velquor::platform {

WKScriptMessage::WKScriptMessage(std::string name, std::optional<nlohmann::json> body, std::weak_ptr<WKWebView> webView,
                                 std::optional<WKFrameInfo> frameInfo, WKContentWorld world)
    : name_(std::move(name)),
      body_(std::move(body)),
      webView_(std::move(webView)),
      frameInfo_(std::move(frameInfo)),
      world_(std::move(world)) {}

}  // namespace velquor::platform
