// The toolkit's web process extension. WebKit refuses some navigations inside the web process
// (a restricted port, a local file from a web page) and says so only on the page's console; this
// passes those refusals on to the toolkit, so that a checkout never waits for a page that will
// never come.

#include "BlockedLoadMessage.h"

#include <webkit/webkit-web-process-extension.h>

namespace {

void consoleMessageSent(WebKitWebPage* page, WebKitConsoleMessage* message, gpointer) {
  if (webkit_console_message_get_source(message) != WEBKIT_CONSOLE_MESSAGE_SOURCE_SECURITY ||
      webkit_console_message_get_level(message) != WEBKIT_CONSOLE_MESSAGE_LEVEL_ERROR) {
    return;
  }
  const char* text = webkit_console_message_get_text(message);
  if (text == nullptr) return;
  const std::string_view console(text);
  for (const auto& kind : velquor::gtk::kBlockedLoadKinds) {
    if (!console.starts_with(kind.consolePrefix)) continue;
    webkit_web_page_send_message_to_view(
        page, webkit_user_message_new(velquor::gtk::kBlockedLoadMessageName, g_variant_new_string(text)), nullptr,
        nullptr, nullptr);
    return;
  }
}

void pageCreated(WebKitWebProcessExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "console-message-sent", G_CALLBACK(consoleMessageSent), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_process_extension_initialize(WebKitWebProcessExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(pageCreated), nullptr);
}
