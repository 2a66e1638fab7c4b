#pragma once

// What the toolkit's web process extension tells the toolkit: a load that the engine refused to
// start at all, which WebKit reports to nobody but the page's console.

#include <array>
#include <string_view>

namespace velquor::gtk {

// A user message of this name carries the console text as a string.
inline constexpr const char* kBlockedLoadMessageName = "velquor.blocked-load";

// The console texts of WebKit's refusals to navigate a frame; each is followed by the address.
struct BlockedLoadKind {
  std::string_view consolePrefix;
  int policyErrorCode;  // the WebKitPolicyError code that fits
};
inline constexpr std::array<BlockedLoadKind, 2> kBlockedLoadKinds{{
    {"Not allowed to use restricted network port ", 103},  // WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT
    {"Not allowed to load local resource: ", 101},          // WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI
}};

}  // namespace velquor::gtk
