#include "CheckoutSchemeHandler.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace velquor::qt {

namespace {

// Qt WebEngine takes schemes only before the application object exists; the library does it
// as it is loaded. Secure, so that a page of it may post to https; not local, or it could not post
// to the network at all.
const bool registeredAtLoad = [] {
  QWebEngineUrlScheme scheme(CheckoutSchemeHandler::kScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
  QWebEngineUrlScheme::registerScheme(scheme);
  return true;
}();

}  // namespace

CheckoutSchemeHandler::CheckoutSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

bool CheckoutSchemeHandler::schemeRegistered() {
  return registeredAtLoad && QWebEngineUrlScheme::schemeByName(kScheme).name() == kScheme;
}

QUrl CheckoutSchemeHandler::addDocument(QByteArray html, bool postsScriptMessages) {
  const QString path = (postsScriptMessages ? QStringLiteral("document-") : QString::fromLatin1(kQuietPath)) +
                       QString::number(nextDocument_++);
  documents_[path] = std::move(html);
  QUrl url;
  url.setScheme(kScheme);
  url.setPath(path);
  return url;
}

void CheckoutSchemeHandler::removeDocument(const QUrl& url) { documents_.erase(url.path()); }

bool CheckoutSchemeHandler::isDocumentURL(const QUrl& url) { return url.scheme() == QLatin1String(kScheme); }

void CheckoutSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  auto it = documents_.find(job->requestUrl().path());
  if (it == documents_.end() || job->requestMethod() != "GET") {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  // The job owns the buffer; the document itself stays for a reload.
  auto* buffer = new QBuffer(job);
  buffer->setData(it->second);
  job->reply("text/html;charset=utf-8", buffer);
}

}  // namespace velquor::qt
