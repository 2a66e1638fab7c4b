// velquor form: the page a checkout would load for a parameters document, byte for byte. It runs
// the library's real checkout on the in-memory toolkit and prints what the web view was given.

#include "CommandFailure.h"
#include "Commands.h"
#include "Input.h"
#include "LibraryCalls.h"

#include <velquor/headless/HeadlessToolkit.h>

#include <cstdio>
#include <memory>
#include <optional>

namespace velquor::tool {

namespace {

struct FormOptions {
  std::string library = "kit";
  std::optional<std::string> endpoint;
  std::string input = "-";
};

int runForm(const FormOptions& options) {
  auto library = openLibrary(options.library);
  loadParams(*library, readInput(options.input));

  headless::HeadlessToolkit toolkit;
  auto screen = toolkit.makeAppScreen();
  launch(*library, screen, options.endpoint);
  toolkit.runUntilIdle();
  auto webViews = toolkit.webViews();
  if (webViews.empty() || webViews.back()->loads().empty()) {
    throw CommandFailure(kExitSoftware, "the checkout loaded no page");
  }
  const auto& page = webViews.back()->loads().back().html;
  if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0) {
    throw CommandFailure(kExitSoftware, "cannot write the page");
  }
  screen->dismissViewControllerAnimated(false, nullptr);
  toolkit.runUntilIdle();
  return 0;
}

}  // namespace

void addFormCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<FormOptions>();
  auto* command = app.add_subcommand("form", "Print the payment form page a checkout would load for a parameters document");
  command->add_option("--library", options->library, "Library whose checkout builds the page")
      ->check(CLI::IsMember(adapter::libraryNames()));
  command->add_option("--endpoint", options->endpoint, "Payment endpoint (default: the library's own)");
  command->add_option("input", options->input, "Parameters JSON file, or - for standard input")->capture_default_str();
  command->callback([&action, options] { action = [options] { return runForm(*options); }; });
}

}  // namespace velquor::tool
