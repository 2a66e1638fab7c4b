// velquor checkout: one real checkout in a GTK or Qt window through the library's launcher.

#include "CheckoutSession.h"
#include "CheckoutWindow.h"
#include "Commands.h"
#include "Input.h"
#include "SampleParams.h"

#include <CheckoutLibraryNames.h>

#include <memory>
#include <string>
#include <vector>

namespace velquor::tool {

namespace {

struct CheckoutOptions {
  std::string toolkit = "gtk";
  std::string library = "kit";
  std::optional<std::string> endpoint;
  std::optional<std::string> paramsFile;
  std::optional<std::string> screenshot;
  unsigned timeoutSeconds = 120;
  bool reportFailures = false;
  std::vector<std::string> trustedOrigins;
  bool loadUnderSlide = false;
  bool prewarm = false;
};

int runCheckout(const CheckoutOptions& options) {
  CheckoutSessionOptions session;
  session.toolkit = options.toolkit;
  session.library = options.library;
  session.endpoint = options.endpoint;
  session.paramsDocument = options.paramsFile ? readInput(*options.paramsFile) : std::string(kSampleParams);
  session.screenshotPath = options.screenshot;
  session.timeout = std::chrono::seconds(options.timeoutSeconds);
  session.reportFailures = options.reportFailures;
  session.trustedOrigins = options.trustedOrigins;
  session.loadUnderSlide = options.loadUnderSlide;
  session.prewarm = options.prewarm;
  return runCheckoutSession(session);
}

}  // namespace

void addCheckoutCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<CheckoutOptions>();
  auto* command = app.add_subcommand("checkout", "Run one real checkout in a window and print each delegate call as a JSON line");
  command->add_option("--toolkit", options->toolkit, "Toolkit whose window shows the checkout")
      ->check(CLI::IsMember(toolkitNames()))
      ->capture_default_str();
  command->add_option("--library", options->library, "Library whose launcher runs the checkout")
      ->check(CLI::IsMember(adapter::libraryNames()))
      ->capture_default_str();
  command->add_option("--endpoint", options->endpoint, "Payment endpoint (default: the library's own)");
  command->add_option("--params", options->paramsFile, "Parameters JSON file, or - for standard input (default: a sample)");
  command->add_option("--screenshot", options->screenshot, "Write a PNG of the checkout window once the first gateway page has loaded");
  command->add_option("--timeout", options->timeoutSeconds, "Seconds to wait for a delegate call")
      ->check(CLI::Range(1u, 86400u))
      ->capture_default_str();
  command->add_flag("--report-failures", options->reportFailures,
                    "Opt in to failure reports: print each as a \"failed\" line, then dismiss and exit 2");
  command->add_option("--trusted-origin", options->trustedOrigins,
                      "Deliver only results the top-level page posts from this origin (scheme://host[:port]); repeatable")
      ->allow_extra_args(false);
  command->add_flag("--load-under-slide", options->loadUnderSlide,
                    "Start the payment as the checkout begins to slide in, not once it has");
  command->add_flag("--prewarm", options->prewarm,
                    "Start the toolkit's web engine process first and launch the checkout once it is up");
  command->callback([&action, options] { action = [options] { return runCheckout(*options); }; });
}

}  // namespace velquor::tool
