#include "WebProfile.h"

#include "CheckoutSchemeHandler.h"

#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace velquor::qt {

WebProfile::WebProfile() : profile_(new QWebEngineProfile()), documents_(new CheckoutSchemeHandler(profile_)) {
  // No storage name: off the record, nothing written to disk.
  engineUserAgent_ = profile_->httpUserAgent();
  auto* settings = profile_->settings();
  // The toolkit reports failures itself; the engine's error page would stand in for the gateway's.
  settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  // A favicon request per page is a request the gateway did not ask for.
  settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
  if (CheckoutSchemeHandler::schemeRegistered()) profile_->installUrlSchemeHandler(CheckoutSchemeHandler::kScheme, documents_);
}

WebProfile::~WebProfile() { delete profile_; }

void WebProfile::setUserAgent(const std::optional<std::string>& userAgent) {
  profile_->setHttpUserAgent(userAgent && !userAgent->empty() ? QString::fromStdString(*userAgent) : engineUserAgent_);
}

}  // namespace velquor::qt
