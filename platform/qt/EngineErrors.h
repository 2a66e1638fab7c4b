#pragma once

#include <velquor/platform/NSError.h>

#include <QUrl>
#include <QWebEngineLoadingInfo>

#include <string>

namespace velquor::qt {

// Qt WebEngine's error domains, by their names in Qt: "QtWebEngineConnectionErrorDomain"...
std::string domainName(QWebEngineLoadingInfo::ErrorDomain domain);
// The engine's error for a failed load, whole: its domain, code (net::), text and address.
platform::NSError errorFrom(const QWebEngineLoadingInfo& info);
// A navigation another one replaced, or one that was stopped, with the engine's error under it.
platform::NSError cancelledError(platform::NSError engineError);
// The engine's own abort, for a navigation replaced without a word from it.
platform::NSError abortedError();
// What the toolkit refuses to load, as WebKit refuses it: a scheme a checkout never needs
// (file:, chrome:...). The engine's own pages and documents load as they are.
bool isLoadableScheme(const QUrl& url);
platform::NSError refusedSchemeError(const QUrl& url);
// A response the navigation delegate refused after the engine had shown it.
platform::NSError refusedResponseError(const QUrl& url);

}  // namespace velquor::qt
