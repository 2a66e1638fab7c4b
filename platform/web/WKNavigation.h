#pragma once

#include <velquor/platform/NSObject.h>

namespace velquor::platform {

// Identifies one navigation of a web view, from its start to its finish or failure.
class VELQUOR_PLATFORM_EXPORT WKNavigation : public NSObject {
 public:
  ~WKNavigation() override;
};

}  // namespace velquor::platform
