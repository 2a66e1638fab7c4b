// VelquorClassic's JSON functions over arbitrary input: VelquorParamsFromData on the raw bytes (any
// of the five Unicode encodings), and VelquorParamsFromJSON on the same bytes taken as a text in
// each supported encoding. A call gives an object or an error, never both, never a crash; an
// object written back and read again has the same fields.
#include <VelquorClassic/VelquorClassic.h>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace velquor::platform;

constexpr NSStringEncoding kEncodings[] = {
    NSASCIIStringEncoding, NSJapaneseEUCStringEncoding, NSUTF8StringEncoding, NSISOLatin1StringEncoding,
    NSShiftJISStringEncoding, NSISOLatin2StringEncoding, NSUnicodeStringEncoding, NSWindowsCP1251StringEncoding,
    NSWindowsCP1252StringEncoding, NSWindowsCP1253StringEncoding, NSWindowsCP1254StringEncoding,
    NSWindowsCP1250StringEncoding, NSISO2022JPStringEncoding, NSMacOSRomanStringEncoding,
    NSUTF16BigEndianStringEncoding, NSUTF16LittleEndianStringEncoding, NSUTF32StringEncoding,
    NSUTF32BigEndianStringEncoding, NSUTF32LittleEndianStringEncoding};

void check(const std::shared_ptr<VelquorClassic::VelquorParams>& params, const std::shared_ptr<NSError>& error) {
  if ((params == nullptr) == (error == nullptr)) std::abort();
  if (!params) return;
  std::shared_ptr<NSError> writeError;
  const auto data = VelquorParamsToData(params, &writeError);
  if (!data) return;  // a value JSON cannot hold is reported, not a crash
  std::shared_ptr<NSError> readError;
  const auto again = VelquorParamsFromData(data, &readError);
  if (!again || again->JSONDictionary() != params->JSONDictionary()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::shared_ptr<NSError> error;
    check(VelquorParamsFromData(bytes, &error), error);
  }
  // The first byte picks the encoding the rest is taken to be text in.
  if (size == 0) return 0;
  const auto encoding = kEncodings[data[0] % std::size(kEncodings)];
  std::shared_ptr<NSError> error;
  const auto params = VelquorParamsFromJSON(bytes.substr(1), encoding, &error);
  // A text the encoding cannot hold gives nil with an error as well.
  check(params, error);
  return 0;
}
