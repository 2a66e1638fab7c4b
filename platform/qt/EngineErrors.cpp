#include "EngineErrors.h"

#include "CheckoutSchemeHandler.h"

#include <QMetaEnum>

#include <memory>

namespace velquor::qt {

using platform::NSError;

std::string domainName(QWebEngineLoadingInfo::ErrorDomain domain) {
  const char* key = QMetaEnum::fromType<QWebEngineLoadingInfo::ErrorDomain>().valueToKey(domain);
  return std::string("QtWebEngine") + (key ? key : "ErrorDomain");
}

NSError errorFrom(const QWebEngineLoadingInfo& info) {
  platform::NSErrorUserInfo userInfo;
  userInfo[platform::NSLocalizedDescriptionKey] = info.errorString().toStdString();
  userInfo[platform::NSURLErrorFailingURLStringErrorKey] = info.url().toString().toStdString();
  return NSError(domainName(info.errorDomain()), info.errorCode(), std::move(userInfo));
}

NSError cancelledError(NSError engineError) {
  auto userInfo = engineError.userInfo();
  userInfo[platform::NSUnderlyingErrorKey] = std::make_shared<const NSError>(std::move(engineError));
  return NSError(platform::NSURLErrorDomain, platform::NSURLErrorCancelled, std::move(userInfo));
}

NSError abortedError() {
  return NSError(domainName(QWebEngineLoadingInfo::InternalErrorDomain), -3,
                 {{platform::NSLocalizedDescriptionKey, std::string("net::ERR_ABORTED")}});
}

bool isLoadableScheme(const QUrl& url) {
  const QString scheme = url.scheme();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("about") ||
         scheme == QLatin1String("data") || scheme == QLatin1String("blob") || CheckoutSchemeHandler::isDocumentURL(url);
}

NSError refusedSchemeError(const QUrl& url) {
  const std::string address = url.toString().toStdString();
  return NSError("QtWebEnginePolicyError", 101,
                 {{platform::NSLocalizedDescriptionKey, "Not allowed to load local resource: " + address},
                  {platform::NSURLErrorFailingURLStringErrorKey, address}});
}

NSError refusedResponseError(const QUrl& url) {
  return NSError("QtWebEnginePolicyError", 102,
                 {{platform::NSLocalizedDescriptionKey, std::string("Frame load interrupted")},
                  {platform::NSURLErrorFailingURLStringErrorKey, url.toString().toStdString()}});
}

}  // namespace velquor::qt
