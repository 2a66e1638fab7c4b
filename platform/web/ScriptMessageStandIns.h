#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

// How engines without WebKit's own message handlers give a page `window.webkit.messageHandlers`:
// the page world holds frozen stand-ins, and each posted body leaves it as a document event that a
// script in the toolkit's own world, out of the page's reach, listens for.
namespace velquor::platform {

// The document event by which the stand-in for `name` hands over a body, as `{detail: {body}}`.
VELQUOR_PLATFORM_EXPORT std::string scriptMessageEventType(const std::string& name);

// The page world's script, run before any of the page's own, that defines
// window.webkit.messageHandlers.NAME for each of `names`. Like WebKit's own handler, a stand-in
// drops without a word a body that cannot be copied to another world (a function, a symbol).
VELQUOR_PLATFORM_EXPORT std::string scriptMessageStandInsScript(const std::vector<std::string>& names);

// `script` with every occurrence of each placeholder replaced by its value as a JavaScript literal.
VELQUOR_PLATFORM_EXPORT std::string withScriptLiterals(std::string script,
                                                       const std::vector<std::pair<std::string, nlohmann::json>>& literals);

}  // namespace velquor::platform
