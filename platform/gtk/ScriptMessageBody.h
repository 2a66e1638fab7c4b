#pragma once

#include <velquor/platform/ScriptMessageBody.h>
#include <velquor/platform/WKFrameInfo.h>

#include <jsc/jsc.h>

#include <optional>

namespace velquor::gtk {

// A script message as the engine hands it over: its body and, through a client world's bridge,
// the frame that posted it.
struct ScriptMessage {
  platform::ScriptMessageBody body;
  std::optional<platform::WKFrameInfo> frame;
};

// The body of a message posted straight to a handler in the page world.
platform::ScriptMessageBody scriptMessageBodyFromValue(JSCValue* value);
// A message carried by a client world's bridge: {mainFrame, origin, posted: {body}} as the
// bridge's script in that world writes it (see ScriptMessageChannels).
ScriptMessage bridgedScriptMessageFromValue(JSCValue* value);

}  // namespace velquor::gtk
