#pragma once

#include <velquor/platform/VelquorPlatformExport.h>
#include <velquor/platform/WKFrameInfo.h>
#include <velquor/platform/WKScriptMessage.h>

#include <string>
#include <vector>

namespace velquor::platform {

// An app's list of trusted origins, read. Throws std::invalid_argument naming the first entry that
// is not "scheme://host[:port]".
VELQUOR_PLATFORM_EXPORT std::vector<WKSecurityOrigin> trustedOriginsFromStrings(const std::vector<std::string>& origins);

// True when `message` may be taken as the page's word: an empty list trusts every message;
// otherwise the top-level document must have posted it while at one of `trusted`, as the engine
// says (its frame information; a message without any is not trusted). Logs why when it is not.
VELQUOR_PLATFORM_EXPORT bool isFromTrustedOrigin(const WKScriptMessage& message, const std::vector<WKSecurityOrigin>& trusted);

}  // namespace velquor::platform
