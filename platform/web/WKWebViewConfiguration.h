#pragma once

#include <velquor/platform/WKPreferences.h>
#include <velquor/platform/WKUserContentController.h>

#include <memory>

namespace velquor::platform {

// What a web view is created with. A new configuration has its own user content controller and
// default preferences.
class VELQUOR_PLATFORM_EXPORT WKWebViewConfiguration : public NSObject {
 public:
  ~WKWebViewConfiguration() override;
  WKWebViewConfiguration();

  std::shared_ptr<WKUserContentController> userContentController() const { return userContentController_; }
  void setUserContentController(std::shared_ptr<WKUserContentController> controller);
  std::shared_ptr<WKPreferences> preferences() const { return preferences_; }
  void setPreferences(std::shared_ptr<WKPreferences> preferences);

 private:
  std::shared_ptr<WKUserContentController> userContentController_;
  std::shared_ptr<WKPreferences> preferences_;
};

}  // namespace velquor::platform
