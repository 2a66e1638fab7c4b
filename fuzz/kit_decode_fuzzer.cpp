// VelquorKit's keyed decoding of arbitrary bytes: an error or a record, never a crash; a record
// that decodes encodes to a document that decodes to the same record.
#include <VelquorKit/VelquorParams.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor::platform;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  VelquorKit::VelquorParams params;
  try {
    params = JSONDecoder().decode<VelquorKit::VelquorParams>(text);
  } catch (const DecodingError&) {
    return 0;
  }
  const auto written = JSONEncoder().encode(params);
  const auto again = JSONDecoder().decode<VelquorKit::VelquorParams>(written);
  if (JSONEncoder().encode(again) != written) std::abort();
  return 0;
}
