#include "HTMLEscaping.h"

namespace velquor::platform {

namespace {
constexpr bool needsEscape(char c) { return c == '&' || c == '"' || c == '<' || c == '>'; }

constexpr std::string_view replacement(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '"': return "&quot;";
    case '<': return "&lt;";
    default: return "&gt;";
  }
}
}  // namespace

std::size_t escapedHTMLAttributeLength(std::string_view text) noexcept {
  std::size_t length = text.size();
  for (char c : text) {
    if (needsEscape(c)) length += replacement(c).size() - 1;
  }
  return length;
}

void appendEscapedHTMLAttribute(std::string& out, std::string_view text) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!needsEscape(text[i])) continue;
    out.append(text.data() + runStart, i - runStart);
    out.append(replacement(text[i]));
    runStart = i + 1;
  }
  out.append(text.data() + runStart, text.size() - runStart);
}

}  // namespace velquor::platform
