#pragma once

#include <velquor/platform/NSError.h>

#include <webkit/webkit.h>

#include <optional>

namespace velquor::gtk {

// The error for a load that the web process extension says WebKit refused to start (a
// WebKitPolicyError, its description WebKit's own console text, its address the refused one);
// none for any other message.
std::optional<platform::NSError> blockedLoadFromMessage(WebKitUserMessage* message);

// Where the toolkit's web process extension lies, beside this library: installed and in the build
// tree alike. Empty when it is not there.
std::string webProcessExtensionDirectory();

}  // namespace velquor::gtk
