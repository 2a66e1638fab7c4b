#include "WKNavigation.h"

namespace velquor::platform {

WKNavigation::~WKNavigation() = default;

}  // namespace velquor::platform
