#include "EnginePage.h"

namespace velquor::qt {

EnginePage::EnginePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

bool EnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  return events_ && events_->acceptNavigation(url, type, isMainFrame);
}

void EnginePage::javaScriptAlert(const QUrl&, const QString& message) {
  if (events_) events_->scriptAlert(message);
}

// As on the platform without a UI delegate's own answer: a confirm is answered "no", a prompt gets
// no text.
bool EnginePage::javaScriptConfirm(const QUrl&, const QString&) { return false; }

bool EnginePage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

void EnginePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int,
                                          const QString&) {
  if (events_) events_->consoleMessage(level, message);
}

}  // namespace velquor::qt
