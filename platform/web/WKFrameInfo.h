#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <optional>
#include <string>
#include <string_view>

namespace velquor::platform {

// The origin of a document: scheme, host and port, compared as browsers compare them (scheme and
// host in lower case, a scheme's default port the same as none). An opaque origin (about:blank,
// data:, a sandboxed frame) has an empty scheme and host and equals no other origin.
class VELQUOR_PLATFORM_EXPORT WKSecurityOrigin {
 public:
  WKSecurityOrigin() = default;  // opaque
  // `port` 0: the scheme's default.
  WKSecurityOrigin(std::string protocol, std::string host, int port);

  // "scheme://host[:port]", as location.origin writes it; a single trailing "/" is allowed.
  // Empty for anything else (a path, a query, user info, a port out of range, "null").
  static std::optional<WKSecurityOrigin> fromString(std::string_view text);

  const std::string& protocol() const { return protocol_; }
  const std::string& host() const { return host_; }
  // 0 when the scheme's default port applies.
  int port() const { return port_; }
  bool isOpaque() const { return protocol_.empty(); }
  // "scheme://host[:port]", or "null" when opaque.
  std::string toString() const;

  friend bool operator==(const WKSecurityOrigin& a, const WKSecurityOrigin& b) {
    return !a.isOpaque() && a.protocol_ == b.protocol_ && a.host_ == b.host_ && a.port_ == b.port_;
  }

 private:
  std::string protocol_;
  std::string host_;
  int port_ = 0;
};

// The frame a script message came from, as the engine knows it (never as the page says).
struct WKFrameInfo {
  bool isMainFrame = false;
  WKSecurityOrigin securityOrigin;
};

}  // namespace velquor::platform
