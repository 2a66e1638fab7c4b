#pragma once

#include <VelquorClassic/VelquorClassicExport.h>

#include <nlohmann/json.hpp>

#include <optional>

namespace VelquorClassic {

// Turns absent field values into the empty text, for the payment form page.
class VELQUORCLASSIC_EXPORT StringFunctions {
 public:
  StringFunctions() = delete;

  // True unless `value` is nil, the null value, or a text of length 0. Values of other kinds (a
  // number, a boolean, an array, an object) count as having characters: the page writes their
  // compact JSON text, which is never empty.
  static bool hasCharacters(const std::optional<nlohmann::json>& value);
  // `value` itself when it has characters; otherwise the empty text.
  static nlohmann::json getValue(const std::optional<nlohmann::json>& value);
};

}  // namespace VelquorClassic
