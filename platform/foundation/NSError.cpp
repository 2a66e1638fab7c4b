#include "NSError.h"

#include <utility>

namespace velquor::platform {

NSError::NSError(std::string domain, long long code, NSErrorUserInfo userInfo)
    : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}

std::shared_ptr<NSError> NSError::errorWithDomain(std::string domain, long long code, NSErrorUserInfo userInfo) {
  return std::make_shared<NSError>(std::move(domain), code, std::move(userInfo));
}

std::string NSError::localizedDescription() const {
  if (auto it = userInfo_.find(NSLocalizedDescriptionKey); it != userInfo_.end()) {
    if (const auto* text = std::get_if<std::string>(&it->second)) return *text;
  }
  return "The operation couldn't be completed. (" + domain_ + " error " + std::to_string(code_) + ".)";
}

}  // namespace velquor::platform
