#include "NSStringEncoding.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace velquor::platform {

namespace {

struct EncodingNames {
  NSStringEncoding encoding;
  const char* readName;          // glibc iconv's name for reading the bytes
  const char* writtenName;       // and for writing them
  std::string_view writtenMark;  // the byte-order mark written first, for the encodings that carry one
};

// The two encodings with a mark are written little-endian after it (iconv would choose the machine's
// order); reading them, iconv honours the mark and takes big-endian without one.
constexpr std::array<EncodingNames, 19> kEncodings = {{
    {NSASCIIStringEncoding, "ASCII", "ASCII", {}},
    {NSJapaneseEUCStringEncoding, "EUC-JP", "EUC-JP", {}},
    {NSUTF8StringEncoding, "UTF-8", "UTF-8", {}},
    {NSISOLatin1StringEncoding, "ISO-8859-1", "ISO-8859-1", {}},
    {NSShiftJISStringEncoding, "SHIFT_JIS", "SHIFT_JIS", {}},
    {NSISOLatin2StringEncoding, "ISO-8859-2", "ISO-8859-2", {}},
    {NSUnicodeStringEncoding, "UTF-16", "UTF-16LE", {"\xFF\xFE", 2}},
    {NSWindowsCP1251StringEncoding, "CP1251", "CP1251", {}},
    {NSWindowsCP1252StringEncoding, "CP1252", "CP1252", {}},
    {NSWindowsCP1253StringEncoding, "CP1253", "CP1253", {}},
    {NSWindowsCP1254StringEncoding, "CP1254", "CP1254", {}},
    {NSWindowsCP1250StringEncoding, "CP1250", "CP1250", {}},
    {NSISO2022JPStringEncoding, "ISO-2022-JP", "ISO-2022-JP", {}},
    {NSMacOSRomanStringEncoding, "MACINTOSH", "MACINTOSH", {}},
    {NSUTF16BigEndianStringEncoding, "UTF-16BE", "UTF-16BE", {}},
    {NSUTF16LittleEndianStringEncoding, "UTF-16LE", "UTF-16LE", {}},
    {NSUTF32StringEncoding, "UTF-32", "UTF-32LE", {"\xFF\xFE\x00\x00", 4}},
    {NSUTF32BigEndianStringEncoding, "UTF-32BE", "UTF-32BE", {}},
    {NSUTF32LittleEndianStringEncoding, "UTF-32LE", "UTF-32LE", {}},
}};

const EncodingNames* find(NSStringEncoding encoding) {
  for (const auto& names : kEncodings) {
    if (names.encoding == encoding) return &names;
  }
  return nullptr;
}

class Conversion {
 public:
  Conversion(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Conversion() {
    if (valid()) iconv_close(descriptor_);
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  bool valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // The converted bytes; nil at the first byte that cannot be read or written, whose offset goes
  // to `failedAt`. Nothing is approximated: iconv is asked for no transliteration.
  std::optional<std::string> convert(std::string_view input, std::size_t* failedAt) {
    std::string output(input.size() * 2 + 16, '\0');
    auto* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t written = 0;
    bool flushing = false;
    while (true) {
      char* out = output.data() + written;
      std::size_t outLeft = output.size() - written;
      // The final call with no input writes whatever a stateful encoding needs to end in its
      // initial state (ISO-2022-JP's return to ASCII).
      const auto result = flushing ? iconv(descriptor_, nullptr, nullptr, &out, &outLeft)
                                   : iconv(descriptor_, &in, &inLeft, &out, &outLeft);
      written = static_cast<std::size_t>(out - output.data());
      if (result != static_cast<std::size_t>(-1)) {
        if (flushing) break;
        flushing = true;
        continue;
      }
      if (errno == E2BIG) {
        output.resize(output.size() * 2);
        continue;
      }
      if (failedAt != nullptr) *failedAt = input.size() - inLeft;
      return std::nullopt;
    }
    output.resize(written);
    return output;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

bool isSupportedStringEncoding(NSStringEncoding encoding) noexcept { return find(encoding) != nullptr; }

std::optional<NSData> dataUsingEncoding(std::string_view text, NSStringEncoding encoding) {
  const auto* names = find(encoding);
  if (names == nullptr) return std::nullopt;
  Conversion conversion(names->writtenName, "UTF-8");
  if (!conversion.valid()) return std::nullopt;
  auto bytes = conversion.convert(text, nullptr);
  if (bytes) bytes->insert(0, names->writtenMark);
  return bytes;
}

std::optional<std::string> stringWithData(std::string_view data, NSStringEncoding encoding, std::size_t* invalidByteOffset) {
  const auto* names = find(encoding);
  if (names == nullptr) {
    if (invalidByteOffset != nullptr) *invalidByteOffset = 0;
    return std::nullopt;
  }
  Conversion conversion("UTF-8", names->readName);
  if (!conversion.valid()) {
    if (invalidByteOffset != nullptr) *invalidByteOffset = 0;
    return std::nullopt;
  }
  return conversion.convert(data, invalidByteOffset);
}

}  // namespace velquor::platform
