#include "CheckoutSession.h"

#include "CheckoutWindow.h"
#include "CommandFailure.h"
#include "LibraryCalls.h"

#include <velquor/platform/NSError.h>
#include <velquor/platform/NSException.h>
#include <velquor/platform/WKWebView.h>

#include <iostream>
#include <string_view>
#include <type_traits>
#include <variant>

namespace velquor::tool {

namespace {

using platform::UIViewController;

// A failure report ended the checkout.
constexpr int kExitFailureReported = 2;
// How long a loaded page is given to paint before the screenshot.
constexpr std::chrono::milliseconds kPaintDelay{400};

std::shared_ptr<platform::WKWebView> findWebView(const std::shared_ptr<platform::UIView>& view) {
  if (!view) return nullptr;
  if (auto webView = std::dynamic_pointer_cast<platform::WKWebView>(view)) return webView;
  for (const auto& subview : view->subviews()) {
    if (auto found = findWebView(subview)) return found;
  }
  return nullptr;
}

// An error as one JSON object: domain, code, description, and the rest of its user info (an
// underlying error as such an object, under "underlyingError").
nlohmann::ordered_json errorJSON(const platform::NSError& error) {
  nlohmann::ordered_json json{{"domain", error.domain()}, {"code", error.code()}, {"description", error.localizedDescription()}};
  for (const auto& [key, value] : error.userInfo()) {
    if (key == platform::NSLocalizedDescriptionKey) continue;
    const std::string name = key == platform::NSUnderlyingErrorKey                ? "underlyingError"
                             : key == platform::NSURLErrorFailingURLStringErrorKey ? "url"
                                                                                   : key;
    std::visit(
        [&](const auto& item) {
          using Item = std::decay_t<decltype(item)>;
          if constexpr (std::is_same_v<Item, std::shared_ptr<const platform::NSError>>) {
            if (item) json[name] = errorJSON(*item);
          } else if constexpr (std::is_same_v<Item, platform::NSException>) {
            json[name] = item.name() + ": " + item.reason();
          } else {
            json[name] = item;
          }
        },
        value);
  }
  return json;
}

std::string eventLine(std::string_view event, const std::optional<nlohmann::json>* data) {
  std::string line = "{\"event\":\"" + std::string(event) + "\"";
  if (data) {
    line += ",\"data\":";
    line += *data ? (*data)->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : "null";
  }
  return line + "}";
}

// The state of one session, the same on every toolkit.
struct Session {
  explicit Session(const CheckoutSessionOptions& sessionOptions) : options(sessionOptions) {}
  const CheckoutSessionOptions& options;
  CheckoutWindow* window = nullptr;
  bool windowClosed = false;
  std::shared_ptr<UIViewController> screen;
  bool reported = false;
  // The exit status once the app has dismissed the checkout after its first answer.
  int answerStatus = 0;
  bool finished = false;
  int exitStatus = 0;
  bool screenshotScheduled = false;
  bool screenshotTaken = false;
  bool dismissAfterScreenshot = false;
  std::optional<CommandFailure> failure;

  void report(const std::string& line, int status = 0);
  void scheduleScreenshot();
  void takeScreenshot();
  void dismiss() {
    // As an app would: the checkout is dismissed once the app has its answer.
    if (windowClosed || !screen->presentedViewController()) {
      finish(answerStatus);  // nothing to dismiss: it was never presented, or its window is gone
      return;
    }
    screen->dismissViewControllerAnimated(true, [this] { finish(answerStatus); });
  }
  void finish(int status) {
    if (finished) return;
    exitStatus = status;
    finished = true;
  }
};

void Session::takeScreenshot() {
  if (screenshotTaken || !options.screenshotPath) return;
  screenshotTaken = true;
  try {
    window->saveScreenshot(*options.screenshotPath);
  } catch (const CommandFailure& error) {
    failure = error;
    finish(error.exitCode());
  }
}

void Session::scheduleScreenshot() {
  if (screenshotScheduled || screenshotTaken || !options.screenshotPath) return;
  screenshotScheduled = true;
  window->after(kPaintDelay, [this] {
    takeScreenshot();
    if (dismissAfterScreenshot && !finished) dismiss();
  });
}

void Session::report(const std::string& line, int status) {
  std::cout << line << std::endl;
  if (reported) return;
  reported = true;
  answerStatus = status;
  if (!options.screenshotPath || screenshotTaken) {
    dismiss();
    return;
  }
  // The answer came before the screenshot (a page that posts on load): take it while the
  // checkout is still shown, then dismiss.
  dismissAfterScreenshot = true;
  scheduleScreenshot();
}

// Every page that cannot be loaded, whatever the reason (the toolkits hear even of the loads their
// engine refuses to start): without a failure report, a user waiting for the timeout learns why here.
void onLoadFailed(const std::string& url, const platform::NSError& error) {
  std::cerr << "velquor checkout: cannot load " << (url.empty() ? std::string("the page") : url) << ": "
            << error.localizedDescription() << std::endl;
}

// Closing the window ends the checkout: nothing more can come. Without an answer so far, that is
// a failure, as a timeout is.
void onWindowClosed(Session& session) {
  session.windowClosed = true;
  if (session.finished) return;
  if (!session.reported) std::cerr << "velquor checkout: the window was closed before a result" << std::endl;
  session.finish(session.reported ? 0 : 1);
}

}  // namespace

int runCheckoutSession(const CheckoutSessionOptions& options) {
  auto library = openLibrary(options.library);
  loadParams(*library, options.paramsDocument);

  Session session(options);
  auto window = openCheckoutWindow(
      options.toolkit, {onLoadFailed, [&session] { onWindowClosed(session); }, options.loadUnderSlide});
  session.window = window.get();
  // From here: the wait for a prewarmed engine counts too.
  window->after(options.timeout, [&session] {
    std::cerr << "velquor checkout: no result within " << session.options.timeout.count() << " s" << std::endl;
    session.finish(1);
  });
  if (options.prewarm) {
    bool ready = false;
    window->prewarm([&ready] { ready = true; });
    window->runUntil([&] { return ready || session.finished; });
  }
  session.screen = window->screen();
  library->reportFailures = options.reportFailures;
  library->trustedOrigins = options.trustedOrigins;
  library->onCall = [&session](const adapter::DelegateCall& call) {
    switch (call.kind) {
      case adapter::DelegateCall::Kind::completed:
        session.report(eventLine("completed", &call.data));
        break;
      case adapter::DelegateCall::Kind::canceled:
        session.report(eventLine("canceled", nullptr));
        break;
      case adapter::DelegateCall::Kind::failed:
        session.report("{\"event\":\"failed\",\"error\":" +
                           errorJSON(*call.error).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "}",
                       kExitFailureReported);
        break;
    }
  };
  if (session.finished) {
    window.reset();
    if (session.failure) throw *session.failure;
    return session.exitStatus;
  }
  launch(*library, session.screen, options.endpoint);

  auto presented = session.screen->presentedViewController();
  auto webView = presented ? findWebView(presented->view()) : nullptr;
  const bool watched = webView && window->watchPages(*webView, [&session] { session.scheduleScreenshot(); });
  // Without a checkout on screen there is nothing to wait for, unless its refusal was reported.
  if (!watched && !session.reported) throw CommandFailure(kExitSoftware, "the library presented no checkout");

  window->runUntil([&session] { return session.finished; });
  session.screen.reset();
  webView.reset();
  presented.reset();
  window.reset();
  if (session.failure) throw *session.failure;
  return session.exitStatus;
}

}  // namespace velquor::tool
