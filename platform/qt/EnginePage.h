#pragma once

#include <QWebEnginePage>

namespace velquor::qt {

// What the toolkit does for an engine page's overridable decisions.
class EnginePageEvents {
 public:
  virtual ~EnginePageEvents() = default;
  virtual bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame) = 0;
  virtual void scriptAlert(const QString& message) = 0;
  virtual void consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level, const QString& message) = 0;
};

// A QWebEnginePage whose decisions are the toolkit's: which navigations go ahead, and what a page's
// alert, confirm and prompt do (never Qt's own dialogs). Without events (null) it refuses every
// navigation and shows no dialog.
class EnginePage final : public QWebEnginePage {
 public:
  EnginePage(QWebEngineProfile* profile, QObject* parent);
  void setEvents(EnginePageEvents* events) { events_ = events; }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                const QString& sourceID) override;

 private:
  EnginePageEvents* events_ = nullptr;
};

}  // namespace velquor::qt
