#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velquor::platform {

// Appends `text` as a JSON string, quotes included, escaped exactly as nlohmann::json::dump() does
// (\" \\ \b \f \n \r \t, other control characters as \u00xx, everything else as it is). Text that
// is not UTF-8 is refused: nothing is appended and the result is the offset of the first bad byte.
VELQUOR_PLATFORM_EXPORT std::optional<std::size_t> appendJSONString(std::string& out, std::string_view text);

}  // namespace velquor::platform
