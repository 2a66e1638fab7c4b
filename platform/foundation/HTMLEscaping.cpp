#include "HTMLEscaping.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Most values hold none of the four characters: scan 16 bytes at a time and treat a chunk byte by
// byte only when it holds one.
#if defined(__SSE2__)
struct Specials {
  __m128i amp = _mm_set1_epi8('&');
  __m128i quot = _mm_set1_epi8('"');
  __m128i lt = _mm_set1_epi8('<');
  __m128i gt = _mm_set1_epi8('>');
  // Bit i set when byte i of the 16 at `p` is one of the four.
  unsigned mask(const char* p) const {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, amp), _mm_cmpeq_epi8(chunk, quot)),
                                     _mm_or_si128(_mm_cmpeq_epi8(chunk, lt), _mm_cmpeq_epi8(chunk, gt)));
    return static_cast<unsigned>(_mm_movemask_epi8(hit));
  }
};
#endif

// Position of the first of the four characters at or after `from`, or the text's size.
std::size_t nextSpecial(std::string_view text, std::size_t from) {
  std::size_t i = from;
#if defined(__SSE2__)
  const Specials specials;
  for (; i + 16 <= text.size(); i += 16) {
    if (const unsigned mask = specials.mask(text.data() + i)) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  for (; i < text.size(); ++i) {
    if (needsEscape(text[i])) return i;
  }
  return text.size();
}

}  // namespace

std::size_t escapedHTMLAttributeLength(std::string_view text) noexcept {
  std::size_t length = text.size();
  for (std::size_t i = nextSpecial(text, 0); i < text.size(); i = nextSpecial(text, i + 1)) {
    length += replacement(text[i]).size() - 1;
  }
  return length;
}

char* writeEscapedHTMLAttribute(char* out, std::string_view text) noexcept {
  std::size_t runStart = 0;
  for (std::size_t i = nextSpecial(text, 0); i < text.size(); i = nextSpecial(text, i + 1)) {
    std::memcpy(out, text.data() + runStart, i - runStart);
    out += i - runStart;
    const auto entity = replacement(text[i]);
    std::memcpy(out, entity.data(), entity.size());
    out += entity.size();
    runStart = i + 1;
  }
  if (text.size() > runStart) std::memcpy(out, text.data() + runStart, text.size() - runStart);
  return out + (text.size() - runStart);
}

void appendEscapedHTMLAttribute(std::string& out, std::string_view text) {
  const auto start = out.size();
  out.resize(start + escapedHTMLAttributeLength(text));
  writeEscapedHTMLAttribute(out.data() + start, text);
}

}  // namespace velquor::platform
