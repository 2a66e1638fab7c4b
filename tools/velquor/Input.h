#pragma once

#include <cstddef>
#include <string>

namespace velquor::tool {

// Larger inputs are refused before they are read whole.
inline constexpr std::size_t kMaximumInputBytes = 128u << 20;

// The bytes of `path`, or of standard input for "-". Throws CommandFailure.
std::string readInput(const std::string& path);

}  // namespace velquor::tool
