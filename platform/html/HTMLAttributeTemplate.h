#pragma once

#include <velquor/platform/HTMLEscaping.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace velquor::platform {

// A fixed text with N places where a text is inserted into a double-quoted HTML attribute. Filling
// it escapes each insertion (& " < >) and writes the whole page in one pass into one string of the
// exact size: a text without those characters is copied whole.
template <std::size_t N>
class HTMLAttributeTemplate {
 public:
  // `pieces(i)` appends the fixed text that stands before insertion i (and, for i == N, the
  // text after the last one) to the string it is given.
  template <class Pieces>
  explicit HTMLAttributeTemplate(Pieces&& pieces) {
    std::array<std::size_t, N + 1> ends{};
    for (std::size_t i = 0; i <= N; ++i) {
      pieces(i, text_);
      ends[i] = text_.size();
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= N; ++i) {
      segments_[i] = std::string_view(text_).substr(start, ends[i] - start);
      start = ends[i];
    }
  }

  std::string fill(const std::array<std::string_view, N>& insertions) const {
    std::array<std::size_t, N> lengths;
    std::size_t size = text_.size();
    for (std::size_t i = 0; i < N; ++i) size += lengths[i] = escapedHTMLAttributeLength(insertions[i]);
    std::string page(size, '\0');
    char* out = page.data();
    for (std::size_t i = 0; i < N; ++i) {
      out = put(out, segments_[i]);
      out = lengths[i] == insertions[i].size() ? put(out, insertions[i]) : writeEscapedHTMLAttribute(out, insertions[i]);
    }
    put(out, segments_[N]);
    return page;
  }

 private:
  static char* put(char* out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    return out + text.size();
  }

  std::string text_;
  std::array<std::string_view, N + 1> segments_{};
};

}  // namespace velquor::platform
