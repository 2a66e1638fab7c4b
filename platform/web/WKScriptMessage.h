#pragma once

#include <velquor/platform/VelquorPlatformExport.h>
#include <velquor/platform/WKContentWorld.h>
#include <velquor/platform/WKFrameInfo.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

namespace velquor::platform {

class WKWebView;

// A value that page script posted to a named handler. The body is the script value converted to
// a JSON value (dictionary, array, text, number, boolean or null); nil for undefined.
class VELQUOR_PLATFORM_EXPORT WKScriptMessage {
 public:
  WKScriptMessage(std::string name, std::optional<nlohmann::json> body, std::weak_ptr<WKWebView> webView = {},
                  std::optional<WKFrameInfo> frameInfo = std::nullopt,
                  WKContentWorld world = WKContentWorld::pageWorld());

  const std::string& name() const { return name_; }
  const std::optional<nlohmann::json>& body() const { return body_; }
  std::shared_ptr<WKWebView> webView() const { return webView_.lock(); }
  // The frame that posted, for a handler in a client world; none for one in the page world.
  const std::optional<WKFrameInfo>& frameInfo() const { return frameInfo_; }
  const WKContentWorld& world() const { return world_; }

 private:
  std::string name_;
  std::optional<nlohmann::json> body_;
  std::weak_ptr<WKWebView> webView_;
  std::optional<WKFrameInfo> frameInfo_;
  WKContentWorld world_;
};

}  // namespace velquor::platform
