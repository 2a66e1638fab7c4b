#pragma once

#include <VelquorKit/VelquorKitExport.h>
#include <velquor/platform/Coding.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace VelquorKit {

// The parameters of one payment request: 38 texts, each named as the gateway's form field.
// 22 are required (always present, possibly empty), 16 optional (absent is not the same as empty).
// A plain value: copied whole when assigned or passed; nothing is validated.
struct VELQUORKIT_EXPORT VelquorParams {
  // Required, in declaration order (the order of the coding keys).
  std::string api_key;
  std::string order_id;
  std::string hash;
  std::string amount;
  std::string mode;
  std::string name;
  std::string phone;
  std::string email;
  std::string currency;
  std::string country;
  std::string city;
  std::string state;
  std::string address_line_1;
  std::string address_line_2;
  std::string zip_code;
  std::string return_url;
  std::string description;
  std::string udf1;
  std::string udf2;
  std::string udf3;
  std::string udf4;
  std::string udf5;
  // Optional.
  std::optional<std::string> timeout_duration;
  std::optional<std::string> return_url_failure;
  std::optional<std::string> return_url_cancel;
  std::optional<std::string> percent_tdr_by_user;
  std::optional<std::string> flatfee_tdr_by_user;
  std::optional<std::string> show_convenience_fee;
  std::optional<std::string> split_enforce_strict;
  std::optional<std::string> split_info;
  std::optional<std::string> payment_options;
  std::optional<std::string> payment_page_display_text;
  std::optional<std::string> allowed_bank_codes;
  std::optional<std::string> allowed_emi_tenure;
  std::optional<std::string> allowed_bins;
  std::optional<std::string> offer_code;
  std::optional<std::string> product_details;
  std::optional<std::string> enable_auto_refund;

  // One argument of the full initializer. It has no default, so leaving a label out does not compile.
  class Argument {
   public:
    Argument(std::string text) : text_(std::move(text)) {}
    Argument(const char* text) : text_(text) {}
    Argument(std::string_view text) : text_(text) {}
    std::string&& take() && { return std::move(text_); }

   private:
    std::string text_;
  };

  // The 22 labelled arguments of the full initializer, in its order. Give them by designator:
  //   VelquorParams({.apiKey = "...", .orderId = "...", .hash = "...", .mode = "...", .amount = "...", ...});
  // A designator out of order (mode and amount swapped, say) or one left out does not compile.
  struct Required {
    Argument apiKey;
    Argument orderId;
    Argument hash;
    Argument mode;
    Argument amount;
    Argument name;
    Argument phone;
    Argument email;
    Argument returnURL;
    Argument description;
    Argument currency;
    Argument country;
    Argument city;
    Argument state;
    Argument addressLine1;
    Argument addressLine2;
    Argument udf1;
    Argument udf2;
    Argument udf3;
    Argument udf4;
    Argument udf5;
    Argument zipCode;
  };

  // Every required field empty, every optional field absent.
  VelquorParams();
  // The full initializer: each argument stored unchanged in its field; the optional fields absent.
  explicit VelquorParams(Required arguments);
  // Reads the 38 keys in field order from the keyed object at the decoder's place; the first faulty
  // key throws its DecodingError (which names the key and its path).
  explicit VelquorParams(const velquor::platform::Decoder& decoder);
  // Writes a keyed object at the encoder's place: the 22 required keys always, an optional key only
  // when present; a text that is not UTF-8 throws EncodingError naming its key.
  void encode(velquor::platform::Encoder& encoder) const;
};

// nlohmann::json conversions through the same coding (errors carry paths relative to the value).
VELQUORKIT_EXPORT void to_json(nlohmann::json& document, const VelquorParams& params);
VELQUORKIT_EXPORT void from_json(const nlohmann::json& document, VelquorParams& params);

}  // namespace VelquorKit
