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

// A user-info value: a text, a number, or an exception object kept whole.
using NSErrorUserInfoValue = std::variant<std::string, long long, NSException>;
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
