#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <velquor/platform/NSData.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/NSObject.h>
#include <velquor/platform/NSStringEncoding.h>

#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace VelquorClassic {

// The parameters of one payment: 38 fields, filled one by one through their setters or all at once
// from a dictionary keyed by the gateway's field names. An object with identity, shared by
// std::shared_ptr: the launcher keeps the app's object, and the page is built from what it holds
// when the presentation has finished. Nothing is validated.
class VELQUORCLASSIC_EXPORT VelquorParams : public velquor::platform::NSObject {
 public:
  // A field's value: nil (empty), the null value (JSON null), a text, or (set by key, or parsed from
  // JSON) any other JSON value, kept as it is.
  using Value = std::optional<nlohmann::json>;
  // The key table: gateway JSON key -> property name, 38 pairs in declaration order.
  using KeyTable = nlohmann::ordered_map<std::string, std::string>;

  // Every field nil.
  VelquorParams();
  // initWithJSONDictionary: each entry of `dictionary` set by key (setValuesForKeysWithDictionary).
  // Throws NSException (NSInvalidArgumentException) when `dictionary` is not a JSON object.
  explicit VelquorParams(const nlohmann::json& dictionary);
  ~VelquorParams() override;

  // Built on first use; the same table for the life of the process.
  static const KeyTable& properties();
  // Nil for nil; otherwise initWithJSONDictionary (and its exception for a non-dictionary).
  static std::shared_ptr<VelquorParams> fromJSONDictionary(const std::optional<nlohmann::json>& dictionary);
  static std::shared_ptr<VelquorParams> initWithJSONDictionary(const nlohmann::json& dictionary);

  // Setting by key takes gateway JSON keys only ("hash", not "theHash"); any other key is dropped.
  void setValue(Value value, std::string_view key);
  // Stores the number 0 under a JSON key of the table; nothing for any other key.
  void setNilValueForKey(std::string_view key);
  // setValue for each entry, the null value turned into nil first. Throws NSException
  // (NSInvalidArgumentException) when `dictionary` is not a JSON object.
  void setValuesForKeysWithDictionary(const nlohmann::json& dictionary);
  // Reading by key takes property names ("theHash"). Throws NSException (NSUndefinedKeyException)
  // for any other key.
  const Value& valueForKey(std::string_view propertyName) const;
  // A new JSON object with exactly the 38 JSON keys; a nil field is the null value.
  nlohmann::json JSONDictionary() const;

  // Forwarders of the library's JSON functions (VelquorParamsFromData and the others).
  static std::shared_ptr<VelquorParams> fromData(const std::optional<velquor::platform::NSData>& data,
                                                 std::shared_ptr<velquor::platform::NSError>* error);
  static std::shared_ptr<VelquorParams> fromJSON(const std::optional<std::string>& text,
                                                 velquor::platform::NSStringEncoding encoding,
                                                 std::shared_ptr<velquor::platform::NSError>* error);
  std::optional<velquor::platform::NSData> toData(std::shared_ptr<velquor::platform::NSError>* error) const;
  std::optional<std::string> toJSON(velquor::platform::NSStringEncoding encoding,
                                    std::shared_ptr<velquor::platform::NSError>* error) const;

  // The 38 fields, in declaration order. A getter returns the stored value itself; a setter stores
  // its own copy.
  const Value& addressLine1() const { return get(Field::addressLine1); }
  void setAddressLine1(Value value) { set(Field::addressLine1, std::move(value)); }
  const Value& addressLine2() const { return get(Field::addressLine2); }
  void setAddressLine2(Value value) { set(Field::addressLine2, std::move(value)); }
  const Value& amount() const { return get(Field::amount); }
  void setAmount(Value value) { set(Field::amount, std::move(value)); }
  const Value& apiKey() const { return get(Field::apiKey); }
  void setApiKey(Value value) { set(Field::apiKey, std::move(value)); }
  const Value& city() const { return get(Field::city); }
  void setCity(Value value) { set(Field::city, std::move(value)); }
  const Value& country() const { return get(Field::country); }
  void setCountry(Value value) { set(Field::country, std::move(value)); }
  const Value& currency() const { return get(Field::currency); }
  void setCurrency(Value value) { set(Field::currency, std::move(value)); }
  const Value& theDescription() const { return get(Field::theDescription); }
  void setTheDescription(Value value) { set(Field::theDescription, std::move(value)); }
  const Value& email() const { return get(Field::email); }
  void setEmail(Value value) { set(Field::email, std::move(value)); }
  const Value& theHash() const { return get(Field::theHash); }
  void setTheHash(Value value) { set(Field::theHash, std::move(value)); }
  const Value& mode() const { return get(Field::mode); }
  void setMode(Value value) { set(Field::mode, std::move(value)); }
  const Value& name() const { return get(Field::name); }
  void setName(Value value) { set(Field::name, std::move(value)); }
  const Value& orderID() const { return get(Field::orderID); }
  void setOrderID(Value value) { set(Field::orderID, std::move(value)); }
  const Value& phone() const { return get(Field::phone); }
  void setPhone(Value value) { set(Field::phone, std::move(value)); }
  const Value& returnURL() const { return get(Field::returnURL); }
  void setReturnURL(Value value) { set(Field::returnURL, std::move(value)); }
  const Value& state() const { return get(Field::state); }
  void setState(Value value) { set(Field::state, std::move(value)); }
  const Value& udf1() const { return get(Field::udf1); }
  void setUdf1(Value value) { set(Field::udf1, std::move(value)); }
  const Value& udf2() const { return get(Field::udf2); }
  void setUdf2(Value value) { set(Field::udf2, std::move(value)); }
  const Value& udf3() const { return get(Field::udf3); }
  void setUdf3(Value value) { set(Field::udf3, std::move(value)); }
  const Value& udf4() const { return get(Field::udf4); }
  void setUdf4(Value value) { set(Field::udf4, std::move(value)); }
  const Value& udf5() const { return get(Field::udf5); }
  void setUdf5(Value value) { set(Field::udf5, std::move(value)); }
  const Value& zipCode() const { return get(Field::zipCode); }
  void setZipCode(Value value) { set(Field::zipCode, std::move(value)); }
  const Value& timeout_duration() const { return get(Field::timeout_duration); }
  void setTimeout_duration(Value value) { set(Field::timeout_duration, std::move(value)); }
  const Value& return_url_failure() const { return get(Field::return_url_failure); }
  void setReturn_url_failure(Value value) { set(Field::return_url_failure, std::move(value)); }
  const Value& return_url_cancel() const { return get(Field::return_url_cancel); }
  void setReturn_url_cancel(Value value) { set(Field::return_url_cancel, std::move(value)); }
  const Value& percent_tdr_by_user() const { return get(Field::percent_tdr_by_user); }
  void setPercent_tdr_by_user(Value value) { set(Field::percent_tdr_by_user, std::move(value)); }
  const Value& flatfee_tdr_by_user() const { return get(Field::flatfee_tdr_by_user); }
  void setFlatfee_tdr_by_user(Value value) { set(Field::flatfee_tdr_by_user, std::move(value)); }
  const Value& show_convenience_fee() const { return get(Field::show_convenience_fee); }
  void setShow_convenience_fee(Value value) { set(Field::show_convenience_fee, std::move(value)); }
  const Value& split_enforce_strict() const { return get(Field::split_enforce_strict); }
  void setSplit_enforce_strict(Value value) { set(Field::split_enforce_strict, std::move(value)); }
  const Value& split_info() const { return get(Field::split_info); }
  void setSplit_info(Value value) { set(Field::split_info, std::move(value)); }
  const Value& payment_options() const { return get(Field::payment_options); }
  void setPayment_options(Value value) { set(Field::payment_options, std::move(value)); }
  const Value& payment_page_display_text() const { return get(Field::payment_page_display_text); }
  void setPayment_page_display_text(Value value) { set(Field::payment_page_display_text, std::move(value)); }
  const Value& allowed_bank_codes() const { return get(Field::allowed_bank_codes); }
  void setAllowed_bank_codes(Value value) { set(Field::allowed_bank_codes, std::move(value)); }
  const Value& allowed_emi_tenure() const { return get(Field::allowed_emi_tenure); }
  void setAllowed_emi_tenure(Value value) { set(Field::allowed_emi_tenure, std::move(value)); }
  const Value& allowed_bins() const { return get(Field::allowed_bins); }
  void setAllowed_bins(Value value) { set(Field::allowed_bins, std::move(value)); }
  const Value& offer_code() const { return get(Field::offer_code); }
  void setOffer_code(Value value) { set(Field::offer_code, std::move(value)); }
  const Value& product_details() const { return get(Field::product_details); }
  void setProduct_details(Value value) { set(Field::product_details, std::move(value)); }
  const Value& enable_auto_refund() const { return get(Field::enable_auto_refund); }
  void setEnable_auto_refund(Value value) { set(Field::enable_auto_refund, std::move(value)); }

  static constexpr std::size_t kFieldCount = 38;

 private:
  // One per property, in declaration order.
  enum class Field : std::size_t {
    addressLine1, addressLine2, amount, apiKey, city, country, currency, theDescription, email, theHash, mode,
    name, orderID, phone, returnURL, state, udf1, udf2, udf3, udf4, udf5, zipCode, timeout_duration,
    return_url_failure, return_url_cancel, percent_tdr_by_user, flatfee_tdr_by_user, show_convenience_fee,
    split_enforce_strict, split_info, payment_options, payment_page_display_text, allowed_bank_codes,
    allowed_emi_tenure, allowed_bins, offer_code, product_details, enable_auto_refund,
  };

  const Value& get(Field field) const { return values_[static_cast<std::size_t>(field)]; }
  void set(Field field, Value value) { values_[static_cast<std::size_t>(field)] = std::move(value); }

  std::array<Value, kFieldCount> values_;
};

}  // namespace VelquorClassic
