#include "VelquorParamsJSON.h"

#include "VelquorParamsProperties.h"

#include <velquor/platform/JSONReading.h>
#include <velquor/platform/NSException.h>
#include <velquor/platform/NSJSONSerialization.h>

#include <array>
#include <string_view>
#include <utility>

namespace {

using velquor::platform::NSData;
using velquor::platform::NSError;
using velquor::platform::NSException;
using velquor::platform::NSJSONSerialization;
using velquor::platform::NSJSONTextMember;
using VelquorClassic::kVelquorParamsFieldsInKeyOrder;
using VelquorClassic::kVelquorParamsProperties;
using VelquorClassic::VelquorParams;

constexpr const char* kErrorDomain = "JSONSerialization";
constexpr long long kErrorCode = -1;
constexpr const char* kExceptionKey = "exception";

void reportException(std::shared_ptr<NSError>* error, const NSException& exception) {
  if (error != nullptr) *error = NSError::errorWithDomain(kErrorDomain, kErrorCode, {{kExceptionKey, exception}});
}

// Sets each member as the reader hands it over, as setValuesForKeysWithDictionary sets the members
// of a dictionary: the null value as nil, a key outside the table dropped. No dictionary is built
// to copy them out of.
class MembersByKey final : public velquor::platform::JSONMemberSink {
 public:
  explicit MembersByKey(VelquorParams& params) : params_(params) {}
  void member(std::string_view key, nlohmann::json&& value) override {
    params_.setValue(value.is_null() ? VelquorParams::Value() : VelquorParams::Value(std::move(value)), key);
  }

 private:
  VelquorParams& params_;
};

// When every field is a text or nil (all that texts set through the setters or read from JSON
// give), the data is written straight from the fields: the same bytes, and the same exception for
// text that is not UTF-8, as the dictionary through NSJSONSerialization. Nothing for any other
// value, which takes that longer way.
std::optional<NSData> textFieldsData(const VelquorParams& params) {
  std::array<NSJSONTextMember, VelquorParams::kFieldCount> members;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const auto& property = kVelquorParamsProperties[kVelquorParamsFieldsInKeyOrder[i]];
    const auto& value = (params.*property.value)();
    members[i].key = property.jsonKey;
    if (!value || value->is_null()) continue;
    if (!value->is_string()) return std::nullopt;
    members[i].text = &value->get_ref<const std::string&>();
  }
  return NSJSONSerialization::dataWithTextMembers(members);
}

}  // namespace

extern "C" {

// Success is judged by what the facility returns, never by the caller's variable: an error left
// there from an earlier call must not turn valid input into nil.
std::shared_ptr<VelquorParams> VelquorParamsFromData(const std::optional<NSData>& data, std::shared_ptr<NSError>* error) {
  try {
    auto params = std::make_shared<VelquorParams>();
    MembersByKey members(*params);
    std::shared_ptr<NSError> readingError;
    auto object = NSJSONSerialization::JSONObjectWithData(data, velquor::platform::NSJSONReadingAllowFragments,
                                                          &readingError, members);
    if (!object) {
      if (error != nullptr && readingError) *error = std::move(readingError);
      return nullptr;
    }
    // The members are in already; what is left of an object is empty, and a top-level value that is
    // no object raises here as initWithJSONDictionary does.
    params->setValuesForKeysWithDictionary(*object);
    return params;
  } catch (const NSException& exception) {
    reportException(error, exception);
    return nullptr;
  }
}

std::shared_ptr<VelquorParams> VelquorParamsFromJSON(const std::optional<std::string>& text,
                                                     velquor::platform::NSStringEncoding encoding,
                                                     std::shared_ptr<NSError>* error) {
  std::optional<NSData> data;
  if (text) data = velquor::platform::dataUsingEncoding(*text, encoding);
  return VelquorParamsFromData(data, error);
}

std::optional<NSData> VelquorParamsToData(const std::shared_ptr<const VelquorParams>& params,
                                          std::shared_ptr<NSError>* error) {
  try {
    if (params) {
      if (auto data = textFieldsData(*params)) return data;
    }
    std::optional<nlohmann::json> dictionary;
    if (params) dictionary = params->JSONDictionary();
    std::shared_ptr<NSError> writingError;
    auto data = NSJSONSerialization::dataWithJSONObject(dictionary, 0, &writingError);
    if (!data) {
      if (error != nullptr && writingError) *error = std::move(writingError);
      return std::nullopt;
    }
    return data;
  } catch (const NSException& exception) {
    reportException(error, exception);
    return std::nullopt;
  }
}

std::optional<std::string> VelquorParamsToJSON(const std::shared_ptr<const VelquorParams>& params,
                                               velquor::platform::NSStringEncoding encoding,
                                               std::shared_ptr<NSError>* error) {
  auto data = VelquorParamsToData(params, error);
  if (!data) return std::nullopt;
  return velquor::platform::stringWithData(*data, encoding);
}

}  // extern "C"
