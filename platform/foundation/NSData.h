#pragma once

#include <string>

namespace velquor::platform {

// A byte buffer, as the platform's data object. Its bytes need not be text of any encoding; nil is
// an empty std::optional<NSData>.
using NSData = std::string;

}  // namespace velquor::platform
