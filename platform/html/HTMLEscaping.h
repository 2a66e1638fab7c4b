#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace velquor::platform {

// Escaping for a double-quoted HTML attribute value: & " < > become &amp; &quot; &lt; &gt;;
// every other byte is kept. The browser decodes these, so the form posts the original text.
VELQUOR_PLATFORM_EXPORT std::size_t escapedHTMLAttributeLength(std::string_view text) noexcept;
VELQUOR_PLATFORM_EXPORT void appendEscapedHTMLAttribute(std::string& out, std::string_view text);
// Writes the escaped text at `out`, which has room for escapedHTMLAttributeLength(text) bytes;
// returns the end of what it wrote.
VELQUOR_PLATFORM_EXPORT char* writeEscapedHTMLAttribute(char* out, std::string_view text) noexcept;

}  // namespace velquor::platform
