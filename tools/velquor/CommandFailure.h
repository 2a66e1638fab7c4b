#pragma once

#include <stdexcept>
#include <string>

namespace velquor::tool {

// Exit codes of sysexits.h, as the commands use them.
inline constexpr int kExitUsage = 64;
inline constexpr int kExitDataError = 65;
inline constexpr int kExitNoInput = 66;
inline constexpr int kExitUnavailable = 69;
inline constexpr int kExitSoftware = 70;

// Ends a command: `message` goes to stderr as one line, `exitCode` is the process's status. Thrown
// from the Qt window's module too: its type must be one across the two.
class __attribute__((visibility("default"))) CommandFailure : public std::runtime_error {
 public:
  CommandFailure(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
  int exitCode() const noexcept { return exitCode_; }

 private:
  int exitCode_;
};

// `text` made fit for one line of a terminal: line breaks and other control bytes become spaces.
std::string singleLine(std::string text);

}  // namespace velquor::tool
