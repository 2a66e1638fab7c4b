#include "JSONReading.h"

#include <string>

namespace velquor::platform {

namespace {

using Json = nlohmann::json;
using DomParser = nlohmann::detail::json_sax_dom_parser<Json>;

struct DepthExceeded {};

// Where a document first opens a container past the limit; only looked for once parsing has
// stopped there, so well-formed input pays nothing for it.
std::size_t offsetOfExcessiveNesting(std::string_view text, std::size_t maximumDepth) {
  std::size_t depth = 0;
  bool inString = false;
  bool escaped = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (escaped) escaped = false;
      else if (c == '\\') escaped = true;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > maximumDepth) return i;
    } else if (c == ']' || c == '}') {
      if (depth > 0) --depth;
    }
  }
  return text.size();
}

// Builds the document like the library's own parser, but refuses to open a container past the limit.
class BoundedDomParser : public DomParser {
 public:
  BoundedDomParser(Json& result, std::size_t maximumDepth) : DomParser(result, false), maximumDepth_(maximumDepth) {}

  bool start_object(std::size_t elements) {
    enter();
    return DomParser::start_object(elements);
  }
  bool end_object() {
    --depth_;
    return DomParser::end_object();
  }
  bool start_array(std::size_t elements) {
    enter();
    return DomParser::start_array(elements);
  }
  bool end_array() {
    --depth_;
    return DomParser::end_array();
  }
  bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error) {
    errorPosition = position;
    errorMessage = error.what();
    (void)token;
    return false;
  }

  std::size_t errorPosition = 0;
  std::string errorMessage;

 private:
  void enter() {
    if (++depth_ > maximumDepth_) throw DepthExceeded{};
  }
  std::size_t maximumDepth_;
  std::size_t depth_ = 0;
};

// The library's message reads "[json.exception.parse_error.101] parse error at line 1, column 5: ...";
// keep the part after the tag.
std::string plainMessage(const std::string& what) {
  auto tagEnd = what.find("] ");
  return tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
}

}  // namespace

JSONReadingError::JSONReadingError(std::string message, std::size_t byteOffset)
    : std::runtime_error(std::move(message)), byteOffset_(byteOffset) {}
JSONReadingError::~JSONReadingError() = default;

Json readJSON(std::string_view utf8, std::size_t maximumDepth) {
  Json result;
  BoundedDomParser parser(result, maximumDepth);
  bool ok = false;
  try {
    ok = Json::sax_parse(utf8.begin(), utf8.end(), &parser, nlohmann::detail::input_format_t::json, true);
  } catch (const DepthExceeded&) {
    throw JSONReadingError("nesting deeper than " + std::to_string(maximumDepth) + " levels",
                           offsetOfExcessiveNesting(utf8, maximumDepth));
  }
  if (!ok) {
    throw JSONReadingError(plainMessage(parser.errorMessage), parser.errorPosition > 0 ? parser.errorPosition - 1 : 0);
  }
  return result;
}

}  // namespace velquor::platform
