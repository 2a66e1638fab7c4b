#pragma once

#include <velquor/platform/NSObject.h>

#include <string>

namespace velquor::platform {

enum class WKNavigationResponsePolicy : long {
  Cancel = 0,
  Allow = 1,
};

// A response to a navigation, before the engine shows it: whose frame it is for, and what the
// server answered.
class VELQUOR_PLATFORM_EXPORT WKNavigationResponse : public NSObject {
 public:
  WKNavigationResponse(bool forMainFrame, long statusCode, std::string url);
  ~WKNavigationResponse() override;

  // The top-level document's own response, not a frame's inside it.
  bool isForMainFrame() const { return forMainFrame_; }
  // The HTTP status; 0 for a response that is not HTTP (about:, data:).
  long statusCode() const { return statusCode_; }
  const std::string& URL() const { return url_; }

 private:
  bool forMainFrame_;
  long statusCode_;
  std::string url_;
};

}  // namespace velquor::platform
