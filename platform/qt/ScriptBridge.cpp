#include "ScriptBridge.h"

#include "CheckoutSchemeHandler.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <velquor/platform/ScriptMessageStandIns.h>

#include <algorithm>

namespace velquor::qt {

namespace {

constexpr const char* kObjectName = "velquorBridge";
constexpr const char* kPageScriptName = "velquor-bridge-page";
constexpr const char* kWorldScriptName = "velquor-bridge-world";
// The world of the transport: a small id (the engine gives no channel to large ones).
constexpr quint32 kBridgeWorld = QWebEngineScript::ApplicationWorld;

// The isolated world's listener and transport (after qwebchannel.js).
constexpr const char* kWorldScript = R"JS((() => {
  const names = @NAMES@, objectName = @OBJECT@, prefix = @PREFIX@;
  const isTop = window.top === window;
  const queue = [];
  let bridge = null;
  const encode = (name, body, origin, top) => {
    let kind = "json", text = "";
    try {
      const json = JSON.stringify(body);
      if (json === undefined) kind = "undefined"; else text = json;
    } catch (error) {
      kind = "refused";
      text = String(error && error.message ? error.message : error);
    }
    return [name, kind, text, origin, top];
  };
  const send = (record) => { if (bridge) bridge.deliver(...record); else queue.push(record); };
  for (const name of names) {
    document.addEventListener(prefix + name, (event) => {
      const detail = event.detail;
      const body = detail !== null && typeof detail === "object" ? detail.body : undefined;
      if (isTop) {
        send(encode(name, body, location.origin, true));
      } else {
        try { window.top.postMessage({velquorBridgeRelay: {name, body}}, "*"); } catch (error) {}
      }
    });
  }
  if (!isTop) return;
  window.addEventListener("message", (event) => {
    const data = event.data;
    const relay = data !== null && typeof data === "object" ? data.velquorBridgeRelay : undefined;
    if (relay === undefined || relay === null || !event.isTrusted || event.source === window) return;
    if (!names.includes(relay.name)) return;
    send(encode(relay.name, relay.body, event.origin, false));
  });
  new QWebChannel(qt.webChannelTransport, (channel) => {
    bridge = channel.objects[objectName];
    for (const record of queue.splice(0)) bridge.deliver(...record);
  });
})();)JS";

QString webChannelScript() {
  QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  if (!file.open(QIODevice::ReadOnly)) {
    qWarning("velquor: Qt WebChannel's qwebchannel.js is missing; script messages cannot reach the app");
    return {};
  }
  return QString::fromUtf8(file.readAll());
}

// Documents that post no messages (the checkout's own form) are left without the bridge: its world
// and script would hold up the document's own script by a few milliseconds.
QString withoutQuietDocuments(const QString& source) {
  return QStringLiteral("// ==UserScript==\n// @exclude %1:%2*\n// ==/UserScript==\n")
             .arg(QString::fromLatin1(CheckoutSchemeHandler::kScheme), QString::fromLatin1(CheckoutSchemeHandler::kQuietPath)) +
         source;
}

QWebEngineScript documentScript(const char* name, const QString& source, quint32 world) {
  QWebEngineScript script;
  script.setName(QString::fromLatin1(name));
  script.setSourceCode(withoutQuietDocuments(source));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setRunsOnSubFrames(true);
  script.setWorldId(world);
  return script;
}

}  // namespace

ScriptBridge::ScriptBridge(QWebEnginePage* page, Receiver receiver)
    : QObject(page), page_(page), channel_(new QWebChannel(this)), receiver_(std::move(receiver)) {
  channel_->registerObject(QString::fromLatin1(kObjectName), this);
  page_->setWebChannel(channel_, kBridgeWorld);
}

ScriptBridge::~ScriptBridge() = default;

void ScriptBridge::setNames(const std::vector<std::string>& names) {
  if (names == names_) return;
  names_ = names;
  installScripts();
}

void ScriptBridge::installScripts() {
  auto& scripts = page_->scripts();
  for (const char* name : {kPageScriptName, kWorldScriptName}) {
    for (const auto& script : scripts.find(QString::fromLatin1(name))) scripts.remove(script);
  }
  if (names_.empty()) return;
  const auto page = platform::scriptMessageStandInsScript(names_);
  const auto world = platform::withScriptLiterals(
      kWorldScript, {{"@NAMES@", names_}, {"@OBJECT@", kObjectName}, {"@PREFIX@", platform::scriptMessageEventType("")}});
  scripts.insert(documentScript(kPageScriptName, QString::fromStdString(page), QWebEngineScript::MainWorld));
  scripts.insert(documentScript(kWorldScriptName, webChannelScript() + QString::fromStdString(world), kBridgeWorld));
}

void ScriptBridge::deliver(const QString& name, const QString& kind, const QString& text, const QString& origin,
                           bool isTop) {
  Message message;
  message.name = name.toStdString();
  // Only names registered now: a page may still hold a stand-in for one that went.
  if (std::find(names_.begin(), names_.end(), message.name) == names_.end()) return;
  if (kind == QLatin1String("json")) {
    message.body = platform::scriptMessageBodyFromJSONText(text.toStdString());
  } else if (kind == QLatin1String("refused")) {
    message.body = platform::scriptMessageBodyWithoutJSONForm(text.toStdString());
  } else {
    message.body = platform::scriptMessageBodyFromJSONText(std::nullopt);
  }
  if (!message.body.deliverable) return;
  message.frame.isMainFrame = isTop;
  message.frame.securityOrigin =
      platform::WKSecurityOrigin::fromString(origin.toStdString()).value_or(platform::WKSecurityOrigin());
  receiver_(std::move(message));
}

}  // namespace velquor::qt
