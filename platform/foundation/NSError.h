#pragma once

#include <velquor/platform/NSException.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <map>
#include <memory>
#include <string>
#include <variant>

namespace velquor::platform {

inline constexpr const char* NSLocalizedDescriptionKey = "NSLocalizedDescription";
// A description for developers: what exactly went wrong, and where.
inline constexpr const char* NSDebugDescriptionErrorKey = "NSDebugDescription";
// The lower-level error that caused this one (an engine's own error under a checkout's).
inline constexpr const char* NSUnderlyingErrorKey = "NSUnderlyingError";
// The address whose load failed.
inline constexpr const char* NSURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";

// A navigation that another one replaced, or that was stopped: not a failure to show anyone.
inline constexpr const char* NSURLErrorDomain = "NSURLErrorDomain";
inline constexpr long long NSURLErrorCancelled = -999;

class NSError;

// A user-info value: a text, a number, an exception object kept whole, or another error.
using NSErrorUserInfoValue = std::variant<std::string, long long, NSException, std::shared_ptr<const NSError>>;
using NSErrorUserInfo = std::map<std::string, NSErrorUserInfoValue>;

// The platform's error value: domain, code and user info. Errors have identity and are
// handed around as std::shared_ptr<NSError>.
class VELQUOR_PLATFORM_EXPORT NSError {
 public:
  NSError(std::string domain, long long code, NSErrorUserInfo userInfo = {});

  static std::shared_ptr<NSError> errorWithDomain(std::string domain, long long code, NSErrorUserInfo userInfo = {});

  const std::string& domain() const noexcept { return domain_; }
  long long code() const noexcept { return code_; }
  const NSErrorUserInfo& userInfo() const noexcept { return userInfo_; }

  // The user info's description when it has one, else a text made of domain and code.
  std::string localizedDescription() const;

 private:
  std::string domain_;
  long long code_;
  NSErrorUserInfo userInfo_;
};

}  // namespace velquor::platform
