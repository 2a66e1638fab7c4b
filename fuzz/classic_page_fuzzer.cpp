// VelquorClassic's payment form page over arbitrary values and endpoints: the page reads back to
// exactly the endpoint and the 38 values (nil and empty as empty, a number as its JSON text), by
// name, in the gateway's order.
#include "common/FormPageReader.h"
#include "common/FuzzInput.h"

#include <VelquorClassic/VelquorClassic.h>

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace VelquorClassic;
  fuzz::FuzzInput input(data, size);
  const std::string endpoint = input.text();
  auto params = std::make_shared<VelquorParams>();
  std::array<std::string, 38> expected;
  for (std::size_t i = 0; i < fuzz::kPageOrder.size(); ++i) {
    const auto kind = input.flag() ? (input.flag() ? 2 : 1) : 0;  // nil, text, or a number
    if (kind == 1) {
      expected[i] = input.text();
      params->setValue(nlohmann::json(expected[i]), fuzz::kPageOrder[i]);
    } else if (kind == 2) {
      const auto number = static_cast<long long>(input.text().size()) - 3;
      expected[i] = std::to_string(number);
      params->setValue(nlohmann::json(number), fuzz::kPageOrder[i]);
    }
  }

  auto controller = std::make_shared<VelquorViewController>();
  controller->setUrl(endpoint);
  const auto page = controller->getHtlmForm(params);
  const auto read = fuzz::readFormPage(page);
  if (!read || read->action != endpoint || read->inputs.size() != 38) std::abort();
  for (std::size_t i = 0; i < 38; ++i) {
    if (read->inputs[i].first != fuzz::kPageOrder[i] || read->inputs[i].second != expected[i]) std::abort();
  }
  if (!page.ends_with("</script>")) std::abort();
  return 0;
}
