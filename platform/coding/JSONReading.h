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

// Takes the members of a top-level object as they are read, in the order of the text. A key that
// comes again comes again: the last one stands, as it does in a document.
class VELQUOR_PLATFORM_EXPORT JSONMemberSink {
 public:
  virtual ~JSONMemberSink();
  virtual void member(std::string_view key, nlohmann::json&& value) = 0;
};

// readJSON for a reader that wants a top-level object's members rather than the object: they go to
// `members` as they are read, and the result is an empty object; any other top-level value is the
// result as readJSON gives it. The same text is accepted or refused, with the same error. Members
// read before an error have reached `members` by then.
VELQUOR_PLATFORM_EXPORT nlohmann::json readJSON(std::string_view utf8, JSONMemberSink& members,
                                                std::size_t maximumDepth = kMaximumJSONNestingDepth);

}  // namespace velquor::platform
