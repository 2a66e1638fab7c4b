#pragma once

#include <velquor/platform/NSData.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velquor::platform {

// The platform's identifier of a text encoding. Texts themselves are UTF-8 std::strings; an
// encoding only matters when a text becomes bytes or bytes become a text.
using NSStringEncoding = unsigned long;

inline constexpr NSStringEncoding NSASCIIStringEncoding = 1;
inline constexpr NSStringEncoding NSJapaneseEUCStringEncoding = 3;
inline constexpr NSStringEncoding NSUTF8StringEncoding = 4;
inline constexpr NSStringEncoding NSISOLatin1StringEncoding = 5;
inline constexpr NSStringEncoding NSShiftJISStringEncoding = 8;
inline constexpr NSStringEncoding NSISOLatin2StringEncoding = 9;
// UTF-16 with a byte-order mark (written little-endian; read in the order the mark gives).
inline constexpr NSStringEncoding NSUnicodeStringEncoding = 10;
inline constexpr NSStringEncoding NSUTF16StringEncoding = NSUnicodeStringEncoding;
inline constexpr NSStringEncoding NSWindowsCP1251StringEncoding = 11;
inline constexpr NSStringEncoding NSWindowsCP1252StringEncoding = 12;
inline constexpr NSStringEncoding NSWindowsCP1253StringEncoding = 13;
inline constexpr NSStringEncoding NSWindowsCP1254StringEncoding = 14;
inline constexpr NSStringEncoding NSWindowsCP1250StringEncoding = 15;
inline constexpr NSStringEncoding NSISO2022JPStringEncoding = 21;
inline constexpr NSStringEncoding NSMacOSRomanStringEncoding = 30;
inline constexpr NSStringEncoding NSUTF16BigEndianStringEncoding = 0x90000100;
inline constexpr NSStringEncoding NSUTF16LittleEndianStringEncoding = 0x94000100;
// UTF-32 with a byte-order mark (written little-endian; read in the order the mark gives).
inline constexpr NSStringEncoding NSUTF32StringEncoding = 0x8c000100;
inline constexpr NSStringEncoding NSUTF32BigEndianStringEncoding = 0x98000100;
inline constexpr NSStringEncoding NSUTF32LittleEndianStringEncoding = 0x9c000100;

// Whether the identifier names an encoding this platform converts.
VELQUOR_PLATFORM_EXPORT bool isSupportedStringEncoding(NSStringEncoding encoding) noexcept;

// `dataUsingEncoding:`: the bytes of `text` (UTF-8) in `encoding`. Nil when the text cannot be held
// in the encoding without loss, when it is not valid UTF-8, or when the encoding is unknown.
VELQUOR_PLATFORM_EXPORT std::optional<NSData> dataUsingEncoding(std::string_view text, NSStringEncoding encoding);

// `initWithData:encoding:`: the text (UTF-8) that `data` holds in `encoding`. Nil when the bytes
// are not valid in the encoding, or when the encoding is unknown; `invalidByteOffset`, when given,
// then receives where the first byte that could not be read stands.
VELQUOR_PLATFORM_EXPORT std::optional<std::string> stringWithData(std::string_view data, NSStringEncoding encoding,
                                                                  std::size_t* invalidByteOffset = nullptr);

}  // namespace velquor::platform
