#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <functional>
#include <string>

namespace velquor::platform {

// Where the kit's warnings go (a dropped script message, say). Standard error by default; a
// toolkit routes them into its own log, a test captures them.
using NSLogHandler = std::function<void(const std::string& message)>;

// Installs `handler` (null: standard error) and returns the one it replaces.
VELQUOR_PLATFORM_EXPORT NSLogHandler setNSLogHandler(NSLogHandler handler);
VELQUOR_PLATFORM_EXPORT void NSLog(const std::string& message);

}  // namespace velquor::platform
