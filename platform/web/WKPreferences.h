#pragma once

#include <velquor/platform/NSObject.h>

#include <memory>

namespace velquor::platform {

class VELQUOR_PLATFORM_EXPORT WKPreferences : public NSObject {
 public:
  ~WKPreferences() override;
  // Whether page script may open windows without a user action.
  bool javaScriptCanOpenWindowsAutomatically() const { return javaScriptCanOpenWindowsAutomatically_; }
  void setJavaScriptCanOpenWindowsAutomatically(bool allowed);

 private:
  bool javaScriptCanOpenWindowsAutomatically_ = false;
};

}  // namespace velquor::platform
