#include "VelquorParamsJSON.h"

#include <velquor/platform/NSException.h>
#include <velquor/platform/NSJSONSerialization.h>

namespace {

using velquor::platform::NSData;
using velquor::platform::NSError;
using velquor::platform::NSException;
using velquor::platform::NSJSONSerialization;
using VelquorClassic::VelquorParams;

constexpr const char* kErrorDomain = "JSONSerialization";
constexpr long long kErrorCode = -1;
constexpr const char* kExceptionKey = "exception";

void reportException(std::shared_ptr<NSError>* error, const NSException& exception) {
  if (error != nullptr) *error = NSError::errorWithDomain(kErrorDomain, kErrorCode, {{kExceptionKey, exception}});
}

}  // namespace

extern "C" {

// Success is judged by what the facility returns, never by the caller's variable: an error left
// there from an earlier call must not turn valid input into nil.
std::shared_ptr<VelquorParams> VelquorParamsFromData(const std::optional<NSData>& data, std::shared_ptr<NSError>* error) {
  try {
    std::shared_ptr<NSError> readingError;
    auto object = NSJSONSerialization::JSONObjectWithData(data, velquor::platform::NSJSONReadingAllowFragments,
                                                          &readingError);
    if (!object) {
      if (error != nullptr && readingError) *error = std::move(readingError);
      return nullptr;
    }
    return VelquorParams::fromJSONDictionary(*object);
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
