#include "NSLog.h"

#include <cstdio>
#include <utility>

namespace velquor::platform {

namespace {
NSLogHandler& installed() {
  static NSLogHandler handler;
  return handler;
}
}  // namespace

NSLogHandler setNSLogHandler(NSLogHandler handler) { return std::exchange(installed(), std::move(handler)); }

void NSLog(const std::string& message) {
  // A copy: the handler may install another while it runs.
  if (auto handler = installed()) {
    handler(message);
    return;
  }
  std::fprintf(stderr, "%s\n", message.c_str());
}

}  // namespace velquor::platform
