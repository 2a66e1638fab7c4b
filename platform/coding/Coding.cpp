#include "Coding.h"

#include "JSONStringWriting.h"

#include <stdexcept>
#include <utility>

namespace velquor::platform {

namespace {

std::string quoted(std::string_view key) { return "\"" + std::string(key) + "\""; }

std::string describeType(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::null: return "null";
    case nlohmann::json::value_t::boolean: return "a boolean";
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
    case nlohmann::json::value_t::number_float: return "a number";
    case nlohmann::json::value_t::string: return "a string";
    case nlohmann::json::value_t::array: return "an array";
    case nlohmann::json::value_t::object: return "an object";
    default: return "an unsupported value";
  }
}

// Finds the member whose text cannot be written; only called once writing has failed.
bool findUnwritable(const nlohmann::json& value, CodingPath& path) {
  if (value.is_string()) {
    try {
      (void)value.dump();
      return false;
    } catch (const nlohmann::json::type_error&) {
      return true;
    }
  }
  if (!value.is_object()) return false;
  for (const auto& [key, member] : value.items()) {
    path.push_back(key);
    if (findUnwritable(member, path)) return true;
    path.pop_back();
  }
  return false;
}

std::string composeWhat(const char* kind, const CodingPath& path, const std::string& description) {
  std::string text = kind;
  const auto where = codingPathString(path);
  if (!where.empty()) text += " " + where;
  return text + ": " + description;
}

}  // namespace

std::string codingPathString(const CodingPath& path) {
  std::string text;
  for (const auto& element : path) {
    text += '/';
    for (char c : element) {
      if (c == '~') text += "~0";
      else if (c == '/') text += "~1";
      else text += c;
    }
  }
  return text;
}

DecodingError::DecodingError(Kind kind, CodingPath codingPath, std::string debugDescription)
    : kind_(kind), codingPath_(std::move(codingPath)), debugDescription_(std::move(debugDescription)),
      what_(composeWhat(kindName(kind_), codingPath_, debugDescription_)) {}
DecodingError::~DecodingError() = default;

std::string DecodingError::key() const {
  if (kind_ == Kind::dataCorrupted || codingPath_.empty()) return {};
  return codingPath_.back();
}

const char* DecodingError::kindName(Kind kind) noexcept {
  switch (kind) {
    case Kind::typeMismatch: return "typeMismatch";
    case Kind::valueNotFound: return "valueNotFound";
    case Kind::keyNotFound: return "keyNotFound";
    case Kind::dataCorrupted: return "dataCorrupted";
  }
  return "dataCorrupted";
}

EncodingError::EncodingError(Kind kind, CodingPath codingPath, std::string debugDescription)
    : kind_(kind), codingPath_(std::move(codingPath)), debugDescription_(std::move(debugDescription)),
      what_(composeWhat("invalidValue", codingPath_, debugDescription_)) {}
EncodingError::~EncodingError() = default;

KeyedDecodingContainer::KeyedDecodingContainer(const nlohmann::json& object, CodingPath codingPath)
    : object_(object), codingPath_(std::move(codingPath)) {}

const nlohmann::json* KeyedDecodingContainer::member(std::string_view key) const {
  auto it = object_.find(key);
  return it == object_.end() ? nullptr : &*it;
}

CodingPath KeyedDecodingContainer::pathTo(std::string_view key) const {
  auto path = codingPath_;
  path.emplace_back(key);
  return path;
}

bool KeyedDecodingContainer::contains(std::string_view key) const { return member(key) != nullptr; }

std::string KeyedDecodingContainer::decodeString(std::string_view key) const {
  const auto* value = member(key);
  if (value == nullptr) {
    throw DecodingError(DecodingError::Kind::keyNotFound, pathTo(key), "No value associated with key " + quoted(key) + ".");
  }
  if (value->is_null()) {
    throw DecodingError(DecodingError::Kind::valueNotFound, pathTo(key), "Expected String value but found null instead.");
  }
  if (!value->is_string()) {
    throw DecodingError(DecodingError::Kind::typeMismatch, pathTo(key),
                        "Expected to decode String but found " + describeType(*value) + " instead.");
  }
  return value->get_ref<const std::string&>();
}

std::optional<std::string> KeyedDecodingContainer::decodeStringIfPresent(std::string_view key) const {
  const auto* value = member(key);
  if (value == nullptr || value->is_null()) return std::nullopt;
  if (!value->is_string()) {
    throw DecodingError(DecodingError::Kind::typeMismatch, pathTo(key),
                        "Expected to decode String but found " + describeType(*value) + " instead.");
  }
  return value->get_ref<const std::string&>();
}

Decoder KeyedDecodingContainer::superDecoder(std::string_view key) const {
  const auto* value = member(key);
  if (value == nullptr) {
    throw DecodingError(DecodingError::Kind::keyNotFound, pathTo(key), "No value associated with key " + quoted(key) + ".");
  }
  return Decoder(*value, pathTo(key));
}

Decoder::Decoder(const nlohmann::json& value, CodingPath codingPath) : value_(value), codingPath_(std::move(codingPath)) {}

KeyedDecodingContainer Decoder::container() const {
  if (!value_.is_object()) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, codingPath_,
                        "Expected to decode a keyed object but found " + describeType(value_) + " instead.");
  }
  return KeyedDecodingContainer(value_, codingPath_);
}

KeyedEncodingContainer::KeyedEncodingContainer(nlohmann::json& object, CodingPath codingPath)
    : object_(&object), codingPath_(std::move(codingPath)) {}

KeyedEncodingContainer::KeyedEncodingContainer(std::string& text, CodingPath codingPath)
    : text_(&text), codingPath_(std::move(codingPath)) {
  text_->push_back('{');
}

KeyedEncodingContainer::KeyedEncodingContainer(KeyedEncodingContainer&& other) noexcept
    : object_(other.object_), text_(other.text_), empty_(other.empty_), codingPath_(std::move(other.codingPath_)) {
  other.text_ = nullptr;
  other.object_ = nullptr;
}

KeyedEncodingContainer::~KeyedEncodingContainer() {
  if (text_) text_->push_back('}');
}

void KeyedEncodingContainer::writeKey(std::string_view key) {
  if (!empty_) text_->push_back(',');
  empty_ = false;
  if (appendJSONString(*text_, key)) {
    auto path = codingPath_;
    path.emplace_back(key);
    throw EncodingError(EncodingError::Kind::invalidValue, std::move(path), "The key is not UTF-8.");
  }
  text_->push_back(':');
}

void KeyedEncodingContainer::encodeString(std::string_view value, std::string_view key) {
  if (object_) {
    (*object_)[std::string(key)] = std::string(value);
    return;
  }
  const auto restart = text_->size();
  writeKey(key);
  if (const auto badByte = appendJSONString(*text_, value)) {
    text_->resize(restart);
    auto path = codingPath_;
    path.emplace_back(key);
    throw EncodingError(EncodingError::Kind::invalidValue, std::move(path),
                        "The text is not UTF-8 (byte " + std::to_string(*badByte) + ").");
  }
}

void KeyedEncodingContainer::encodeStringIfPresent(const std::optional<std::string>& value, std::string_view key) {
  if (value) encodeString(*value, key);
}

Encoder KeyedEncodingContainer::superEncoder(std::string_view key) {
  auto path = codingPath_;
  path.emplace_back(key);
  if (object_) return Encoder((*object_)[std::string(key)], std::move(path));
  writeKey(key);
  return Encoder(*text_, std::move(path));
}

Encoder::Encoder(nlohmann::json& value, CodingPath codingPath) : value_(&value), codingPath_(std::move(codingPath)) {}

Encoder::Encoder(std::string& text, CodingPath codingPath) : text_(&text), codingPath_(std::move(codingPath)) {}

KeyedEncodingContainer Encoder::container() {
  if (value_) {
    if (!value_->is_object()) *value_ = nlohmann::json::object();
    return KeyedEncodingContainer(*value_, codingPath_);
  }
  // A nested text encoder stands right after its key; the root one at the start.
  if (!text_->empty() && text_->back() != ':') throw std::logic_error("a text encoder gives one keyed container");
  return KeyedEncodingContainer(*text_, codingPath_);
}

nlohmann::json JSONDecoder::parse(std::string_view data) {
  try {
    return readJSON(data);
  } catch (const JSONReadingError& error) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, {},
                        std::string("The given data was not valid JSON: ") + error.what());
  }
}

std::string JSONEncoder::write(const nlohmann::json& document, int indent) {
  try {
    return document.dump(indent);
  } catch (const nlohmann::json::type_error& error) {
    // Only text that is not UTF-8 gets here; the message names the offending byte.
    std::string message = error.what();
    auto tagEnd = message.find("] ");
    CodingPath path;
    if (!findUnwritable(document, path)) path.clear();
    throw EncodingError(EncodingError::Kind::invalidValue, std::move(path),
                        tagEnd == std::string::npos ? message : message.substr(tagEnd + 2));
  }
}

}  // namespace velquor::platform
