// The sandbox gateway's handling of a form body: any bytes parse; the fields, posted again with
// every byte percent-encoded, parse back to the same fields; the page built from them keeps its
// embedded JSON inside its script.
#include "FormBody.h"
#include "PaymentPage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string percentEncoded(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor::sandbox;
  const auto fields = parseFormBody(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string again;
  for (const auto& [name, value] : fields) {
    if (name.empty() && value.empty()) continue;
    if (!again.empty()) again += '&';
    again += percentEncoded(name) + "=" + percentEncoded(value);
  }
  const auto reparsed = parseFormBody(again);
  FormFields expected;
  for (const auto& field : fields) {
    if (!(field.first.empty() && field.second.empty())) expected.push_back(field);
  }
  if (reparsed != expected) std::abort();

  const auto page = paymentPage(fields, "sbx_fuzz", AutoResult::success);
  const auto scriptStart = page.find("<script>");
  if (scriptStart == std::string::npos || page.find("</script>", scriptStart) != page.rfind("</script>")) std::abort();
  return 0;
}
