#include "WKFrameInfo.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace velquor::platform {

namespace {

std::string lowercase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c); });
  return lower;
}

int defaultPort(std::string_view scheme) {
  if (scheme == "http" || scheme == "ws") return 80;
  if (scheme == "https" || scheme == "wss") return 443;
  return 0;
}

bool isSchemeCharacter(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

}  // namespace

WKSecurityOrigin::WKSecurityOrigin(std::string protocol, std::string host, int port)
    : protocol_(lowercase(protocol)), host_(lowercase(host)), port_(port == defaultPort(protocol_) ? 0 : port) {}

std::optional<WKSecurityOrigin> WKSecurityOrigin::fromString(std::string_view text) {
  const auto separator = text.find("://");
  if (separator == std::string_view::npos || separator == 0) return std::nullopt;
  const auto scheme = text.substr(0, separator);
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    if (!isSchemeCharacter(scheme[i], i == 0)) return std::nullopt;
  }
  auto authority = text.substr(separator + 3);
  if (!authority.empty() && authority.back() == '/') authority.remove_suffix(1);
  if (authority.empty() || authority.find_first_of("/?#@\\ \t\r\n") != std::string_view::npos) return std::nullopt;

  std::string_view host = authority;
  std::string_view port;
  if (authority.front() == '[') {  // an IPv6 address
    const auto close = authority.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    host = authority.substr(0, close + 1);
    const auto rest = authority.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (port.empty()) return std::nullopt;
    }
  } else if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
    if (host.empty() || port.empty()) return std::nullopt;
  }
  int number = 0;
  if (!port.empty()) {
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (error != std::errc() || end != port.data() + port.size() || number < 1 || number > 65535) return std::nullopt;
  }
  return WKSecurityOrigin(std::string(scheme), std::string(host), number);
}

std::string WKSecurityOrigin::toString() const {
  if (isOpaque()) return "null";
  std::string text = protocol_ + "://" + host_;
  if (port_ != 0) text += ":" + std::to_string(port_);
  return text;
}

}  // namespace velquor::platform
