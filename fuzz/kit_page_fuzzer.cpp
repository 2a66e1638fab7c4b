// VelquorKit's payment form page over arbitrary values and endpoints: the page always reads back
// to exactly the endpoint and the 38 values, by name, in the gateway's order.
#include "PaymentFormPage.h"

#include "common/FormPageReader.h"
#include "common/FuzzInput.h"

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using VelquorKit::VelquorParams;
  fuzz::FuzzInput input(data, size);
  const std::string endpoint = input.text();
  VelquorParams params;
  std::string* required[] = {&params.hash, &params.api_key, &params.return_url, &params.mode, &params.order_id,
                             &params.amount, &params.currency, &params.description, &params.name, &params.email,
                             &params.phone, &params.address_line_1, &params.address_line_2, &params.city,
                             &params.state, &params.zip_code, &params.country, &params.udf1, &params.udf2,
                             &params.udf3, &params.udf4, &params.udf5};
  std::optional<std::string>* optional[] = {
      &params.timeout_duration, &params.return_url_failure, &params.return_url_cancel, &params.percent_tdr_by_user,
      &params.flatfee_tdr_by_user, &params.show_convenience_fee, &params.split_enforce_strict, &params.split_info,
      &params.payment_options, &params.payment_page_display_text, &params.allowed_bank_codes,
      &params.allowed_emi_tenure, &params.allowed_bins, &params.offer_code, &params.product_details,
      &params.enable_auto_refund};
  for (auto* field : required) *field = input.text();
  for (auto* field : optional) {
    if (input.flag()) *field = input.text();
  }

  const auto page = VelquorKit::paymentFormPage(params, endpoint);
  const auto read = fuzz::readFormPage(page);
  if (!read || read->action != endpoint || read->inputs.size() != 38) std::abort();
  for (std::size_t i = 0; i < 38; ++i) {
    const std::string expected = i < 22 ? *required[i] : optional[i - 22]->value_or("");
    if (read->inputs[i].first != fuzz::kPageOrder[i] || read->inputs[i].second != expected) std::abort();
  }
  if (!page.ends_with("</script>")) std::abort();
  return 0;
}
