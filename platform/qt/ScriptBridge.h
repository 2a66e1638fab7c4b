#pragma once

#include <velquor/platform/ScriptMessageBody.h>
#include <velquor/platform/WKFrameInfo.h>

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWebChannel;
class QWebEnginePage;

namespace velquor::qt {

// window.webkit.messageHandlers.NAME.postMessage(body) for one page, in every frame, for each
// registered name, as WebKit gives it.
//
// In the page's own script world there is only a frozen stand-in per name: it checks that the body
// can be copied (structuredClone, as WebKit copies it across worlds; one that cannot is dropped)
// and hands {body} over in a DOM event, which the engine copies into the other worlds. The
// transport (a QWebChannel) lives in an isolated world, which the page's scripts cannot see: there
// a listener turns the body into JSON text with its own untouched JSON, adds what only it can be
// sure of (is this the top-level document, and its origin), queues until the channel is up, and
// sends in order. The engine gives no channel to subframes: a subframe's listener relays to the
// top frame's with window.postMessage, whose origin the browser stamps, and the top frame takes
// only trusted relays from another window. So the page can post its own messages and nothing else.
class ScriptBridge final : public QObject {
  Q_OBJECT

 public:
  struct Message {
    std::string name;
    platform::ScriptMessageBody body;
    platform::WKFrameInfo frame;
  };
  using Receiver = std::function<void(Message message)>;

  ScriptBridge(QWebEnginePage* page, Receiver receiver);
  ~ScriptBridge() override;

  // The names page script can post under, from the next document on.
  void setNames(const std::vector<std::string>& names);

  // Called from the isolated world through the channel. `kind` is "json" (text is the body's JSON),
  // "undefined", or "refused" (text is why JSON.stringify refused it).
  Q_INVOKABLE void deliver(const QString& name, const QString& kind, const QString& text, const QString& origin,
                           bool isTop);

 private:
  void installScripts();

  QWebEnginePage* page_;
  QWebChannel* channel_;
  Receiver receiver_;
  std::vector<std::string> names_;
};

}  // namespace velquor::qt
