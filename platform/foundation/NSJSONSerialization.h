#pragma once

#include <velquor/platform/NSData.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velquor::platform {

using NSJSONReadingOptions = unsigned long;
inline constexpr NSJSONReadingOptions NSJSONReadingMutableContainers = 1;  // values are always mutable here
inline constexpr NSJSONReadingOptions NSJSONReadingMutableLeaves = 2;
// A top-level value that is not an array or an object is accepted.
inline constexpr NSJSONReadingOptions NSJSONReadingFragmentsAllowed = 4;
inline constexpr NSJSONReadingOptions NSJSONReadingAllowFragments = NSJSONReadingFragmentsAllowed;

using NSJSONWritingOptions = unsigned long;
inline constexpr NSJSONWritingOptions NSJSONWritingPrettyPrinted = 1;
inline constexpr NSJSONWritingOptions NSJSONWritingSortedKeys = 2;  // keys are always written sorted here
inline constexpr NSJSONWritingOptions NSJSONWritingFragmentsAllowed = 4;
inline constexpr NSJSONWritingOptions NSJSONWritingWithoutEscapingSlashes = 8;  // slashes are never escaped here

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";
// The code of every reading error: the data is not JSON.
inline constexpr long long NSPropertyListReadCorruptError = 3840;
// User-info key of a reading error: the offset in the data, in bytes, where reading failed.
inline constexpr const char* NSJSONSerializationErrorIndex = "NSJSONSerializationErrorIndex";

class JSONMemberSink;

// A member of an object whose values are all texts or the null value, for dataWithTextMembers.
struct NSJSONTextMember {
  std::string_view key;
  const std::string* text = nullptr;  // null: the null value
};

// The platform's JSON facility. Values are nlohmann::json: a dictionary is an object, the null
// value (NSNull) is null, nil is an empty optional.
class VELQUOR_PLATFORM_EXPORT NSJSONSerialization {
 public:
  NSJSONSerialization() = delete;

  // Reads one JSON text in UTF-8, UTF-16 or UTF-32 (either byte order), told apart by a byte-order
  // mark or by the zero bytes among the first characters. Data that is not JSON, nests deeper than
  // 512 levels, or holds a top-level fragment without NSJSONReadingFragmentsAllowed gives nil and,
  // when `error` is given, an NSCocoaErrorDomain 3840 error whose debug description says where
  // reading failed. Nil data raises NSInvalidArgumentException.
  static std::optional<nlohmann::json> JSONObjectWithData(const std::optional<NSData>& data,
                                                          NSJSONReadingOptions options, std::shared_ptr<NSError>* error);
  // The same for a reader that keeps a top-level object's members itself: they go to `members` as
  // they are read, and a top-level object comes back empty. Every other result, error and exception
  // is the one above; members read before an error have reached `members` by then.
  static std::optional<nlohmann::json> JSONObjectWithData(const std::optional<NSData>& data,
                                                          NSJSONReadingOptions options,
                                                          std::shared_ptr<NSError>* error, JSONMemberSink& members);

  // Writes `object` as UTF-8 JSON, compact unless NSJSONWritingPrettyPrinted. Raises
  // NSInvalidArgumentException for nil, for a top-level fragment without
  // NSJSONWritingFragmentsAllowed, and for values JSON cannot hold: NaN, infinity, text that is not
  // UTF-8, nesting deeper than 512 levels. `error` is never set: every failure raises.
  static std::optional<NSData> dataWithJSONObject(const std::optional<nlohmann::json>& object,
                                                  NSJSONWritingOptions options, std::shared_ptr<NSError>* error);

  // dataWithJSONObject(object, 0) for an object of texts and null values, without building it: the
  // members come in the order an object keeps its keys (byte order, each key once). The same bytes,
  // and the same exception for a text or key that is not UTF-8.
  static NSData dataWithTextMembers(std::span<const NSJSONTextMember> members);

  // Whether dataWithJSONObject would write `object` without NSJSONWritingFragmentsAllowed.
  static bool isValidJSONObject(const nlohmann::json& object);
};

}  // namespace velquor::platform
