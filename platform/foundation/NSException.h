#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

#include <exception>
#include <string>

namespace velquor::platform {

inline constexpr const char* NSInvalidArgumentException = "NSInvalidArgumentException";
// Raised by key-value coding for a key the receiver does not have.
inline constexpr const char* NSUndefinedKeyException = "NSUnknownKeyException";

// The platform's exception object, thrown and caught as a C++ exception.
class VELQUOR_PLATFORM_EXPORT NSException : public std::exception {
 public:
  NSException(std::string name, std::string reason);
  ~NSException() override;

  static NSException exceptionWithName(std::string name, std::string reason);

  const std::string& name() const noexcept { return name_; }
  const std::string& reason() const noexcept { return reason_; }
  const char* what() const noexcept override { return reason_.c_str(); }

 private:
  std::string name_;
  std::string reason_;
};

}  // namespace velquor::platform
