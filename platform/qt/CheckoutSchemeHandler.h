#pragma once

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <cstdint>
#include <map>

namespace velquor::qt {

// Serves the documents web views load from text (loadHTMLString) under the toolkit's own scheme.
// Through a scheme handler the engine takes a document of any size (setHtml goes through a data:
// address, which it drops past 2 MiB), and the document's origin stays opaque, as about:blank's
// is: a form it posts says "Origin: null" and sends no Referer.
class CheckoutSchemeHandler final : public QWebEngineUrlSchemeHandler {
 public:
  static constexpr const char* kScheme = "velquor-checkout";
  static constexpr const char* kQuietPath = "quiet-document-";

  explicit CheckoutSchemeHandler(QObject* parent);

  // True when the library could register its scheme before the application was made.
  static bool schemeRegistered();

  // The address of a new document holding `html`, served until it is removed. A document that
  // posts no script messages gets an address under kQuietPath, which script bridges leave alone.
  QUrl addDocument(QByteArray html, bool postsScriptMessages);
  void removeDocument(const QUrl& url);
  static bool isDocumentURL(const QUrl& url);

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  std::uint64_t nextDocument_ = 1;
  std::map<QString, QByteArray> documents_;
};

}  // namespace velquor::qt
