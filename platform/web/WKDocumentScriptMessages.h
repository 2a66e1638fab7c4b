#pragma once

namespace velquor::platform {

// Whether a document loaded from text may post script messages. A toolkit may leave the message
// bridge out of one that posts none (the checkout's own form): on some engines the bridge costs
// every document a script world, set up before the document's own script may run.
enum class WKDocumentScriptMessages : long {
  mayPost,
  none,
};

}  // namespace velquor::platform
