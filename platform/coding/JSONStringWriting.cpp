#include "JSONStringWriting.h"

#include <cstdint>

namespace velquor::platform {

namespace {

// Length of the well-formed UTF-8 sequence at `at` (RFC 3629: no overlongs, no surrogates, nothing
// past U+10FFFF), or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  const std::size_t left = text.size() - at;
  auto continuation = [&](std::size_t i, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
    return at + i < text.size() && byte(at + i) >= low && byte(at + i) <= high;
  };
  if (lead >= 0xC2 && lead <= 0xDF) return left >= 2 && continuation(1) ? 2 : 0;
  if (lead == 0xE0) return continuation(1, 0xA0) && continuation(2) ? 3 : 0;
  if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) return continuation(1) && continuation(2) ? 3 : 0;
  if (lead == 0xED) return continuation(1, 0x80, 0x9F) && continuation(2) ? 3 : 0;
  if (lead == 0xF0) return continuation(1, 0x90) && continuation(2) && continuation(3) ? 4 : 0;
  if (lead >= 0xF1 && lead <= 0xF3) return continuation(1) && continuation(2) && continuation(3) ? 4 : 0;
  if (lead == 0xF4) return continuation(1, 0x80, 0x8F) && continuation(2) && continuation(3) ? 4 : 0;
  return 0;
}

constexpr bool plainASCII(std::uint8_t c) { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }

}  // namespace

std::optional<std::size_t> appendJSONString(std::string& out, std::string_view text) {
  const auto start = out.size();
  out.reserve(start + text.size() + 2);
  out += '"';
  std::size_t run = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (plainASCII(c)) {
      ++i;
      continue;
    }
    if (c >= 0x80) {
      const auto length = utf8SequenceLength(text, i);
      if (length == 0) {
        out.resize(start);
        return i;
      }
      i += length;
      continue;
    }
    out.append(text.data() + run, i - run);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
        out.append(escape, sizeof escape);
      }
    }
    run = ++i;
  }
  out.append(text.data() + run, text.size() - run);
  out += '"';
  return std::nullopt;
}

}  // namespace velquor::platform
