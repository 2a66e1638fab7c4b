// VelquorClassic's JSON functions over arbitrary input: VelquorParamsFromData on the raw bytes (any
// of the five Unicode encodings), and VelquorParamsFromJSON on the same bytes taken as a text in
// each supported encoding. A call gives an object or an error, never both, never a crash; an
// object written back and read again has the same fields. The functions read members straight into
// the object and write texts straight from it: the facility's way through a whole dictionary must
// give the same object, the same bytes, and fail where they fail.
#include <VelquorClassic/VelquorClassic.h>
#include <velquor/platform/NSException.h>
#include <velquor/platform/NSJSONSerialization.h>

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

std::optional<NSData> writtenWhole(const VelquorClassic::VelquorParams& params) {
  try {
    return NSJSONSerialization::dataWithJSONObject(params.JSONDictionary(), 0, nullptr);
  } catch (const NSException&) {
    return std::nullopt;
  }
}

void checkAgainstWholeDictionary(const NSData& bytes, const std::shared_ptr<VelquorClassic::VelquorParams>& params,
                                 const std::shared_ptr<NSError>& error) {
  const auto whole = NSJSONSerialization::JSONObjectWithData(bytes, NSJSONReadingAllowFragments, nullptr);
  if (params) {
    if (!whole || !whole->is_object()) std::abort();
    if (VelquorClassic::VelquorParams(*whole).JSONDictionary() != params->JSONDictionary()) std::abort();
  } else if (error->domain() == NSCocoaErrorDomain) {
    if (whole) std::abort();
  } else if (!whole || whole->is_object()) {
    std::abort();
  }
}

void check(const std::shared_ptr<VelquorClassic::VelquorParams>& params, const std::shared_ptr<NSError>& error) {
  if ((params == nullptr) == (error == nullptr)) std::abort();
  if (!params) return;
  std::shared_ptr<NSError> writeError;
  const auto data = VelquorParamsToData(params, &writeError);
  if (data != writtenWhole(*params)) std::abort();
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
    const auto params = VelquorParamsFromData(bytes, &error);
    check(params, error);
    checkAgainstWholeDictionary(bytes, params, error);
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
