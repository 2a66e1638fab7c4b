#include "JSONReading.h"

#include <optional>
#include <string>
#include <utility>

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

// Where the parser stopped and what it said, for either reader below.
struct ParseFailure {
  bool record(std::size_t at, const nlohmann::detail::exception& error) {
    position = at;
    message = error.what();
    return false;
  }
  std::size_t position = 0;
  std::string message;
};

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
  bool parse_error(std::size_t position, const std::string& /*token*/, const nlohmann::detail::exception& error) {
    return failure.record(position, error);
  }

  ParseFailure failure;

 private:
  void enter() {
    if (++depth_ > maximumDepth_) throw DepthExceeded{};
  }
  std::size_t maximumDepth_;
  std::size_t depth_ = 0;
};

// Hands the members of a top-level object to a sink as they are read, so that a reader that keeps
// them elsewhere builds no object to copy them out of. A member whose value is a container, and a
// top-level value that is not an object, are built by the library's own builder; the nesting limit
// counts every level as BoundedDomParser does.
class MemberParser {
 public:
  MemberParser(Json& result, JSONMemberSink& members, std::size_t maximumDepth)
      : result_(result), members_(members), maximumDepth_(maximumDepth) {}

  bool null() { return builder_ ? builder_->null() : take(Json(nullptr)); }
  bool boolean(bool value) { return builder_ ? builder_->boolean(value) : take(Json(value)); }
  bool number_integer(Json::number_integer_t value) {
    return builder_ ? builder_->number_integer(value) : take(Json(value));
  }
  bool number_unsigned(Json::number_unsigned_t value) {
    return builder_ ? builder_->number_unsigned(value) : take(Json(value));
  }
  bool number_float(Json::number_float_t value, const Json::string_t& text) {
    return builder_ ? builder_->number_float(value, text) : take(Json(value));
  }
  bool string(Json::string_t& value) { return builder_ ? builder_->string(value) : take(Json(value)); }
  bool binary(Json::binary_t& value) { return builder_ ? builder_->binary(value) : take(Json(std::move(value))); }

  bool start_object(std::size_t elements) {
    enter();
    if (builder_) return builder_->start_object(elements);
    if (depth_ == 1) {  // the top-level object: only its members are kept, by the sink
      result_ = Json::object();
      streaming_ = true;
      return true;
    }
    build(memberValue_);
    return builder_->start_object(elements);
  }
  bool end_object() {
    if (!builder_) {  // the top-level object closes
      --depth_;
      return true;
    }
    const bool going = builder_->end_object();
    leave();
    return going;
  }
  bool start_array(std::size_t elements) {
    enter();
    if (!builder_) build(depth_ == 1 ? result_ : memberValue_);
    return builder_->start_array(elements);
  }
  bool end_array() {
    const bool going = builder_->end_array();
    leave();
    return going;
  }
  bool key(Json::string_t& key) {
    if (builder_) return builder_->key(key);
    key_.assign(key);
    return true;
  }
  bool parse_error(std::size_t position, const std::string& /*token*/, const nlohmann::detail::exception& error) {
    return failure.record(position, error);
  }

  ParseFailure failure;

 private:
  // A value that is no container: the top-level value, or a member of the top-level object.
  bool take(Json&& value) {
    if (depth_ == 0) result_ = std::move(value);
    else members_.member(key_, std::move(value));
    return true;
  }
  void build(Json& target) {
    target = Json();
    builder_.emplace(target, false);
  }
  void enter() {
    if (++depth_ > maximumDepth_) throw DepthExceeded{};
  }
  // A container closed: when it was a member's value, that member is complete.
  void leave() {
    --depth_;
    if (streaming_ && depth_ == 1) {
      builder_.reset();
      members_.member(key_, std::move(memberValue_));
    }
  }

  Json& result_;
  JSONMemberSink& members_;
  std::size_t maximumDepth_;
  std::size_t depth_ = 0;
  bool streaming_ = false;
  std::string key_;
  Json memberValue_;
  std::optional<DomParser> builder_;
};

// The library's message reads "[json.exception.parse_error.101] parse error at line 1, column 5: ...";
// keep the part after the tag.
std::string plainMessage(const std::string& what) {
  auto tagEnd = what.find("] ");
  return tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
}

// Runs either reader; errors as JSONReadingError.
template <class Parser>
void parse(std::string_view utf8, std::size_t maximumDepth, Parser& parser) {
  bool ok = false;
  try {
    ok = Json::sax_parse(utf8.begin(), utf8.end(), &parser, nlohmann::detail::input_format_t::json, true);
  } catch (const DepthExceeded&) {
    throw JSONReadingError("nesting deeper than " + std::to_string(maximumDepth) + " levels",
                           offsetOfExcessiveNesting(utf8, maximumDepth));
  }
  if (!ok) {
    const auto& failure = parser.failure;
    throw JSONReadingError(plainMessage(failure.message), failure.position > 0 ? failure.position - 1 : 0);
  }
}

}  // namespace

JSONReadingError::JSONReadingError(std::string message, std::size_t byteOffset)
    : std::runtime_error(std::move(message)), byteOffset_(byteOffset) {}
JSONReadingError::~JSONReadingError() = default;

JSONMemberSink::~JSONMemberSink() = default;

Json readJSON(std::string_view utf8, std::size_t maximumDepth) {
  Json result;
  BoundedDomParser parser(result, maximumDepth);
  parse(utf8, maximumDepth, parser);
  return result;
}

Json readJSON(std::string_view utf8, JSONMemberSink& members, std::size_t maximumDepth) {
  Json result;
  MemberParser parser(result, members, maximumDepth);
  parse(utf8, maximumDepth, parser);
  return result;
}

}  // namespace velquor::platform
