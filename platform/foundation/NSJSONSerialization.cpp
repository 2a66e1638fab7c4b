#include "NSJSONSerialization.h"

#include <velquor/platform/JSONReading.h>
#include <velquor/platform/JSONStringWriting.h>
#include "NSException.h"
#include "NSStringEncoding.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velquor::platform {

namespace {

using Json = nlohmann::json;

constexpr const char* kNotInTheCorrectFormat = "The data couldn't be read because it isn't in the correct format.";
constexpr const char* kReadingNoFragments =
    "JSON text did not start with array or object and option to allow fragments not set.";
constexpr const char* kWriter = "*** +[NSJSONSerialization dataWithJSONObject:options:error:]: ";
constexpr const char* kWritingNotUTF8 = "Invalid string value (not UTF-8) in JSON write";

// The Unicode form a JSON text is in, and the length of its byte-order mark.
struct UnicodeForm {
  NSStringEncoding encoding;
  std::string_view name;
  std::size_t unitSize;  // bytes per code unit
  std::size_t markLength;
};

UnicodeForm detectForm(std::string_view data) {
  auto byte = [&](std::size_t i) { return i < data.size() ? static_cast<unsigned char>(data[i]) : 0x100u; };
  const auto b0 = byte(0), b1 = byte(1), b2 = byte(2), b3 = byte(3);
  if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) return {NSUTF8StringEncoding, "UTF-8", 1, 3};
  if (b0 == 0x00 && b1 == 0x00 && b2 == 0xFE && b3 == 0xFF) return {NSUTF32BigEndianStringEncoding, "UTF-32BE", 4, 4};
  if (b0 == 0xFF && b1 == 0xFE && b2 == 0x00 && b3 == 0x00) return {NSUTF32LittleEndianStringEncoding, "UTF-32LE", 4, 4};
  if (b0 == 0xFE && b1 == 0xFF) return {NSUTF16BigEndianStringEncoding, "UTF-16BE", 2, 2};
  if (b0 == 0xFF && b1 == 0xFE) return {NSUTF16LittleEndianStringEncoding, "UTF-16LE", 2, 2};
  // Without a mark: the first characters of a JSON text are ASCII, so their zero bytes tell the form.
  if (b0 == 0x00 && b1 == 0x00) return {NSUTF32BigEndianStringEncoding, "UTF-32BE", 4, 0};
  if (b0 == 0x00) return {NSUTF16BigEndianStringEncoding, "UTF-16BE", 2, 0};
  if (b1 == 0x00 && b2 == 0x00 && b3 == 0x00) return {NSUTF32LittleEndianStringEncoding, "UTF-32LE", 4, 0};
  if (b1 == 0x00) return {NSUTF16LittleEndianStringEncoding, "UTF-16LE", 2, 0};
  return {NSUTF8StringEncoding, "UTF-8", 1, 0};
}

struct Position {
  std::size_t line = 1;
  std::size_t column = 1;
  std::size_t dataOffset = 0;
};

// Where reading stopped, given as an offset into the UTF-8 text: its line and column (in
// characters) and the offset into the data as given, whatever its form.
Position positionOf(std::string_view utf8, std::size_t utf8Offset, const UnicodeForm& form) {
  Position position;
  std::size_t characters = 0;
  std::size_t supplementary = 0;
  for (std::size_t i = 0; i < utf8Offset && i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    ++characters;
    if (c >= 0xF0) ++supplementary;
    if (c == '\n') {
      ++position.line;
      position.column = 1;
    } else {
      ++position.column;
    }
  }
  switch (form.unitSize) {
    case 1: position.dataOffset = form.markLength + utf8Offset; break;
    case 2: position.dataOffset = form.markLength + 2 * (characters + supplementary); break;
    default: position.dataOffset = form.markLength + 4 * characters; break;
  }
  return position;
}

void reportReadingError(std::shared_ptr<NSError>* error, std::string debugDescription, std::size_t dataOffset) {
  if (error == nullptr) return;
  *error = NSError::errorWithDomain(NSCocoaErrorDomain, NSPropertyListReadCorruptError,
                                    {{NSLocalizedDescriptionKey, std::string(kNotInTheCorrectFormat)},
                                     {NSDebugDescriptionErrorKey, std::move(debugDescription)},
                                     {NSJSONSerializationErrorIndex, static_cast<long long>(dataOffset)}});
}

// The parser's own words without its position prefix ("parse error at line 1, column 5: "), which
// counts bytes of the converted text; the position is given in characters instead.
std::string parserReason(const std::string& message) {
  constexpr std::string_view prefix = "parse error at line ";
  if (message.starts_with(prefix)) {
    if (auto colon = message.find(": "); colon != std::string::npos) return message.substr(colon + 2);
  }
  return message;
}

[[noreturn]] void raiseInvalidArgument(const std::string& reason) {
  throw NSException(NSInvalidArgumentException, kWriter + reason);
}

// Everything the writer refuses, found without recursion so that no value drives it past the stack.
void checkWritable(const Json& root) {
  std::vector<std::pair<const Json*, std::size_t>> pending{{&root, 0}};
  while (!pending.empty()) {
    const auto [value, depth] = pending.back();
    pending.pop_back();
    switch (value->type()) {
      case Json::value_t::number_float: {
        const double number = value->get<double>();
        if (std::isnan(number)) raiseInvalidArgument("Invalid number value (NaN) in JSON write");
        if (std::isinf(number)) raiseInvalidArgument("Invalid number value (infinite) in JSON write");
        break;
      }
      case Json::value_t::binary: raiseInvalidArgument("Invalid type in JSON write (binary data)");
      case Json::value_t::discarded: raiseInvalidArgument("Invalid type in JSON write (discarded value)");
      case Json::value_t::array:
      case Json::value_t::object:
        if (depth + 1 > kMaximumJSONNestingDepth) {
          raiseInvalidArgument("JSON write nests deeper than " + std::to_string(kMaximumJSONNestingDepth) + " levels");
        }
        for (const auto& member : *value) pending.emplace_back(&member, depth + 1);
        break;
      default: break;
    }
  }
}

// Both forms of JSONObjectWithData: `read` parses the UTF-8 text as readJSON does.
template <class Read>
std::optional<Json> readObject(const std::optional<NSData>& data, NSJSONReadingOptions options,
                               std::shared_ptr<NSError>* error, const Read& read) {
  if (!data) {
    throw NSException(NSInvalidArgumentException,
                      "*** +[NSJSONSerialization JSONObjectWithData:options:error:]: data parameter is nil");
  }
  const auto form = detectForm(*data);
  std::string converted;
  std::string_view text = std::string_view(*data).substr(std::min(form.markLength, data->size()));
  if (form.encoding != NSUTF8StringEncoding) {
    std::size_t invalidAt = 0;
    auto utf8 = stringWithData(text, form.encoding, &invalidAt);
    if (!utf8) {
      const auto at = form.markLength + invalidAt;
      reportReadingError(error,
                         "Unable to convert data to a string using the detected encoding " + std::string(form.name) +
                             " around byte " + std::to_string(at) + ".",
                         at);
      return std::nullopt;
    }
    converted = std::move(*utf8);
    text = converted;
  }

  Json value;
  try {
    value = read(text);
  } catch (const JSONReadingError& failure) {
    const auto position = positionOf(text, failure.byteOffset(), form);
    reportReadingError(error,
                       "Invalid JSON around line " + std::to_string(position.line) + ", column " +
                           std::to_string(position.column) + " (byte " + std::to_string(position.dataOffset) +
                           "): " + parserReason(failure.what()),
                       position.dataOffset);
    return std::nullopt;
  }
  if ((options & NSJSONReadingFragmentsAllowed) == 0 && !value.is_array() && !value.is_object()) {
    reportReadingError(error, kReadingNoFragments, 0);
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<Json> NSJSONSerialization::JSONObjectWithData(const std::optional<NSData>& data,
                                                            NSJSONReadingOptions options, std::shared_ptr<NSError>* error) {
  return readObject(data, options, error, [](std::string_view text) { return readJSON(text); });
}

std::optional<Json> NSJSONSerialization::JSONObjectWithData(const std::optional<NSData>& data,
                                                            NSJSONReadingOptions options,
                                                            std::shared_ptr<NSError>* error, JSONMemberSink& members) {
  return readObject(data, options, error, [&members](std::string_view text) { return readJSON(text, members); });
}

std::optional<NSData> NSJSONSerialization::dataWithJSONObject(const std::optional<Json>& object,
                                                              NSJSONWritingOptions options, std::shared_ptr<NSError>*) {
  if (!object) raiseInvalidArgument("value parameter is nil");
  if ((options & NSJSONWritingFragmentsAllowed) == 0 && !object->is_array() && !object->is_object()) {
    raiseInvalidArgument("Invalid top-level type in JSON write");
  }
  checkWritable(*object);
  try {
    return object->dump((options & NSJSONWritingPrettyPrinted) != 0 ? 2 : -1);
  } catch (const Json::type_error&) {
    // dump refuses text that is not UTF-8, in a value or a key.
    raiseInvalidArgument(kWritingNotUTF8);
  }
}

NSData NSJSONSerialization::dataWithTextMembers(std::span<const NSJSONTextMember> members) {
  std::size_t size = 2;
  for (const auto& member : members) size += member.key.size() + (member.text ? member.text->size() : 4) + 6;
  NSData data;
  data.reserve(size);
  data += '{';
  for (const auto& member : members) {
    if (data.size() > 1) data += ',';
    if (appendJSONString(data, member.key)) raiseInvalidArgument(kWritingNotUTF8);
    data += ':';
    if (member.text == nullptr) data += "null";
    else if (appendJSONString(data, *member.text)) raiseInvalidArgument(kWritingNotUTF8);
  }
  data += '}';
  return data;
}

bool NSJSONSerialization::isValidJSONObject(const Json& object) {
  try {
    (void)dataWithJSONObject(object, 0, nullptr);
    return true;
  } catch (const NSException&) {
    return false;
  }
}

}  // namespace velquor::platform
