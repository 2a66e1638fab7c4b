#pragma once

// Splits fuzzer bytes into texts and flags: a text runs up to the next 0x1F byte (or the end), so
// every byte value but 0x1F can appear in one, and seeds stay readable.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  std::string text() {
    const auto end = rest_.find('\x1f');
    std::string value(rest_.substr(0, end));
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return value;
  }

  bool flag() {
    if (rest_.empty()) return false;
    const bool set = (static_cast<unsigned char>(rest_.front()) & 1) != 0;
    rest_.remove_prefix(1);
    return set;
  }

 private:
  std::string_view rest_;
};

}  // namespace fuzz
