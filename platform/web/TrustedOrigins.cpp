#include "TrustedOrigins.h"

#include <velquor/platform/NSLog.h>

#include <algorithm>
#include <stdexcept>

namespace velquor::platform {

std::vector<WKSecurityOrigin> trustedOriginsFromStrings(const std::vector<std::string>& origins) {
  std::vector<WKSecurityOrigin> trusted;
  trusted.reserve(origins.size());
  for (const auto& text : origins) {
    auto origin = WKSecurityOrigin::fromString(text);
    if (!origin) throw std::invalid_argument("not an origin (scheme://host[:port]): \"" + text + "\"");
    trusted.push_back(std::move(*origin));
  }
  return trusted;
}

bool isFromTrustedOrigin(const WKScriptMessage& message, const std::vector<WKSecurityOrigin>& trusted) {
  if (trusted.empty()) return true;
  const auto& frame = message.frameInfo();
  const std::string dropped = "velquor: dropped a \"" + message.name() + "\" message ";
  if (!frame) {
    NSLog(dropped + "that came without frame information");
    return false;
  }
  if (!frame->isMainFrame) {
    NSLog(dropped + "from a frame inside the page (" + frame->securityOrigin.toString() + "), not the top-level document");
    return false;
  }
  if (std::find(trusted.begin(), trusted.end(), frame->securityOrigin) == trusted.end()) {
    NSLog(dropped + "from " + frame->securityOrigin.toString() + ", which is not a trusted origin");
    return false;
  }
  return true;
}

}  // namespace velquor::platform
