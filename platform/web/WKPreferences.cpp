#include "WKPreferences.h"

namespace velquor::platform {

void WKPreferences::setJavaScriptCanOpenWindowsAutomatically(bool allowed) {
  javaScriptCanOpenWindowsAutomatically_ = allowed;
  didChangeValue();
}

WKPreferences::~WKPreferences() = default;

}  // namespace velquor::platform
