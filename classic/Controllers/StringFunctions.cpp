#include "StringFunctions.h"

namespace VelquorClassic {

bool StringFunctions::hasCharacters(const std::optional<nlohmann::json>& value) {
  if (!value || value->is_null()) return false;
  if (value->is_string()) return !value->get_ref<const std::string&>().empty();
  return true;
}

nlohmann::json StringFunctions::getValue(const std::optional<nlohmann::json>& value) {
  return hasCharacters(value) ? *value : nlohmann::json("");
}

}  // namespace VelquorClassic
