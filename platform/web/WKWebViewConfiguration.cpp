#include "WKWebViewConfiguration.h"

namespace velquor::platform {

WKWebViewConfiguration::WKWebViewConfiguration()
    : userContentController_(std::make_shared<WKUserContentController>()), preferences_(std::make_shared<WKPreferences>()) {}

void WKWebViewConfiguration::setUserContentController(std::shared_ptr<WKUserContentController> controller) {
  userContentController_ = controller ? std::move(controller) : std::make_shared<WKUserContentController>();
  didChangeValue();
}

void WKWebViewConfiguration::setPreferences(std::shared_ptr<WKPreferences> preferences) {
  preferences_ = preferences ? std::move(preferences) : std::make_shared<WKPreferences>();
  didChangeValue();
}

WKWebViewConfiguration::~WKWebViewConfiguration() = default;

}  // namespace velquor::platform
