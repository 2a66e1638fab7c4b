#include "HTMLEscaping.h"

#include <bit>
#include <cstdint>
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
// '"' (0x22) and '&' (0x26) differ only in bit 2, '<' (0x3C) and '>' (0x3E) only in bit 1: two
// comparisons find all four.
struct Specials {
  __m128i bit2 = _mm_set1_epi8(0x04);
  __m128i quoteOrAmpersand = _mm_set1_epi8(0x26);
  __m128i bit1 = _mm_set1_epi8(0x02);
  __m128i angleBracket = _mm_set1_epi8(0x3E);
  // Bit i set when byte i of the 16 at `p` is one of the four.
  unsigned mask(const char* p) const {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(chunk, bit2), quoteOrAmpersand),
                                     _mm_cmpeq_epi8(_mm_or_si128(chunk, bit1), angleBracket));
    return static_cast<unsigned>(_mm_movemask_epi8(hit));
  }
};
#endif

// Eight bytes at a time in a machine word: the high bit of byte i is set when byte i is one of the
// four. The lowest set bit is always exact (a spurious one can only follow a true one).
std::uint64_t specialsIn(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  return zeroBytes((word | (kOnes * 0x04)) ^ (kOnes * 0x26)) | zeroBytes((word | (kOnes * 0x02)) ^ (kOnes * 0x3E));
}

// Position of the first of the four characters at or after `from`, or the text's size.
std::size_t nextSpecial(std::string_view text, std::size_t from) {
  std::size_t i = from;
#if defined(__SSE2__)
  if (i + 16 <= text.size()) {
    const Specials specials;
    for (; i + 32 <= text.size(); i += 32) {
      const unsigned mask = specials.mask(text.data() + i) | (specials.mask(text.data() + i + 16) << 16);
      if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    for (; i + 16 <= text.size(); i += 16) {
      if (const unsigned mask = specials.mask(text.data() + i)) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
#endif
  for (; std::endian::native == std::endian::little && i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if (const auto found = specialsIn(word)) return i + static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
  }
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
