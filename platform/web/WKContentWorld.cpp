#include "WKContentWorld.h"

namespace velquor::platform {

WKContentWorld WKContentWorld::pageWorld() { return WKContentWorld(std::string()); }

WKContentWorld WKContentWorld::defaultClientWorld() { return WKContentWorld("velquor-client"); }

}  // namespace velquor::platform
