#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velquor::platform {

// Deepest nesting of arrays and objects that a document may have. Deeper documents are refused
// while parsing, so nothing later (copying, comparing, writing) recurses past the stack.
inline constexpr std::size_t kMaximumJSONNestingDepth = 512;

// A document that is not JSON (RFC 8259, UTF-8), or nests too deeply.
class VELQUOR_PLATFORM_EXPORT JSONReadingError : public std::runtime_error {
 public:
  JSONReadingError(std::string message, std::size_t byteOffset);
  ~JSONReadingError() override;
  // Where reading stopped, counted in bytes from the start.
  std::size_t byteOffset() const noexcept { return byteOffset_; }

 private:
  std::size_t byteOffset_;
};

// Parses one UTF-8 JSON text; any top-level value is accepted. Throws JSONReadingError.
VELQUOR_PLATFORM_EXPORT nlohmann::json readJSON(std::string_view utf8,
                                                std::size_t maximumDepth = kMaximumJSONNestingDepth);

}  // namespace velquor::platform
