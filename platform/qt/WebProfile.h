#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <string>

class QWebEngineProfile;

namespace velquor::qt {

class CheckoutSchemeHandler;

// The one off-the-record profile of a toolkit's web views, with the engine settings the checkout
// needs. Shared by the toolkit and its web views and destroyed after the last of them, since Qt
// WebEngine must see every page of a profile go before the profile.
class WebProfile {
 public:
  WebProfile();
  ~WebProfile();
  WebProfile(const WebProfile&) = delete;
  WebProfile& operator=(const WebProfile&) = delete;

  QWebEngineProfile* profile() const { return profile_; }
  CheckoutSchemeHandler& documents() const { return *documents_; }

  // The whole user-agent text of every request; none gives the engine's own back. The profile's
  // setting: the last web view to set it wins for all.
  void setUserAgent(const std::optional<std::string>& userAgent);

 private:
  QWebEngineProfile* profile_;
  CheckoutSchemeHandler* documents_;
  QString engineUserAgent_;
};

}  // namespace velquor::qt
