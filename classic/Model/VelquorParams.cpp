#include "VelquorParams.h"

#include "VelquorParamsJSON.h"
#include "VelquorParamsProperties.h"

#include <velquor/platform/NSException.h>

#include <array>

namespace VelquorClassic {

using velquor::platform::NSError;
using velquor::platform::NSException;

namespace {

constexpr const auto& kProperties = kVelquorParamsProperties;

constexpr std::size_t kNotFound = kProperties.size();

// The field a gateway key sets; kNotFound for a key the table does not have.
std::size_t fieldOfJSONKey(std::string_view key) {
  for (std::size_t i = 0; i < kProperties.size(); ++i) {
    if (kProperties[i].jsonKey == key) return i;
  }
  return kNotFound;
}

std::size_t fieldOfPropertyName(std::string_view name) {
  for (std::size_t i = 0; i < kProperties.size(); ++i) {
    if (kProperties[i].name == name) return i;
  }
  return kNotFound;
}

const char* kindOf(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::null: return "null";
    case nlohmann::json::value_t::boolean: return "a boolean";
    case nlohmann::json::value_t::string: return "a string";
    case nlohmann::json::value_t::array: return "an array";
    case nlohmann::json::value_t::object: return "an object";
    default: return "a number";
  }
}

}  // namespace

VelquorParams::VelquorParams() = default;

VelquorParams::VelquorParams(const nlohmann::json& dictionary) { setValuesForKeysWithDictionary(dictionary); }

VelquorParams::~VelquorParams() = default;

const VelquorParams::KeyTable& VelquorParams::properties() {
  // A function-local static: built once, its construction guarded.
  static const KeyTable table = [] {
    KeyTable entries;
    for (const auto& property : kProperties) entries.emplace(std::string(property.jsonKey), std::string(property.name));
    return entries;
  }();
  return table;
}

std::shared_ptr<VelquorParams> VelquorParams::fromJSONDictionary(const std::optional<nlohmann::json>& dictionary) {
  if (!dictionary) return nullptr;
  return initWithJSONDictionary(*dictionary);
}

std::shared_ptr<VelquorParams> VelquorParams::initWithJSONDictionary(const nlohmann::json& dictionary) {
  return std::make_shared<VelquorParams>(dictionary);
}

void VelquorParams::setValue(Value value, std::string_view key) {
  const auto field = fieldOfJSONKey(key);
  if (field == kNotFound) return;
  values_[field] = std::move(value);
}

void VelquorParams::setNilValueForKey(std::string_view key) {
  const auto field = fieldOfJSONKey(key);
  if (field == kNotFound) return;
  values_[field] = nlohmann::json(0);
}

void VelquorParams::setValuesForKeysWithDictionary(const nlohmann::json& dictionary) {
  if (!dictionary.is_object()) {
    throw NSException(velquor::platform::NSInvalidArgumentException,
                      std::string("-[VelquorParams setValuesForKeysWithDictionary:]: the argument is ") +
                          kindOf(dictionary) + ", not a dictionary");
  }
  for (const auto& [key, value] : dictionary.items()) {
    setValue(value.is_null() ? Value() : Value(value), key);
  }
}

const VelquorParams::Value& VelquorParams::valueForKey(std::string_view propertyName) const {
  const auto field = fieldOfPropertyName(propertyName);
  if (field == kNotFound) {
    throw NSException(velquor::platform::NSUndefinedKeyException,
                      "[<VelquorParams> valueForUndefinedKey:]: this class is not key value coding-compliant for the key " +
                          std::string(propertyName) + ".");
  }
  return values_[field];
}

nlohmann::json VelquorParams::JSONDictionary() const {
  auto dictionary = nlohmann::json::object();
  for (std::size_t i = 0; i < kProperties.size(); ++i) {
    dictionary[std::string(kProperties[i].jsonKey)] = values_[i].value_or(nullptr);
  }
  return dictionary;
}

std::shared_ptr<VelquorParams> VelquorParams::fromData(const std::optional<velquor::platform::NSData>& data,
                                                       std::shared_ptr<NSError>* error) {
  return VelquorParamsFromData(data, error);
}

std::shared_ptr<VelquorParams> VelquorParams::fromJSON(const std::optional<std::string>& text,
                                                       velquor::platform::NSStringEncoding encoding,
                                                       std::shared_ptr<NSError>* error) {
  return VelquorParamsFromJSON(text, encoding, error);
}

// The functions take the receiver as a pointer that does not own it: the call is over before the
// receiver could go, and an object that no shared_ptr owns works as well.
std::optional<velquor::platform::NSData> VelquorParams::toData(std::shared_ptr<NSError>* error) const {
  return VelquorParamsToData(std::shared_ptr<const VelquorParams>(std::shared_ptr<const VelquorParams>(), this), error);
}

std::optional<std::string> VelquorParams::toJSON(velquor::platform::NSStringEncoding encoding,
                                                 std::shared_ptr<NSError>* error) const {
  return VelquorParamsToJSON(std::shared_ptr<const VelquorParams>(std::shared_ptr<const VelquorParams>(), this), encoding,
                             error);
}

}  // namespace VelquorClassic
