// velquor demo: the sandbox gateway on a free loopback port and one checkout against it, under a
// virtual display when there is no display.

#include "CheckoutSession.h"
#include "CheckoutWindow.h"
#include "CommandFailure.h"
#include "Commands.h"
#include "SampleParams.h"

#include "sandbox/SandboxGateway.h"

#include <CheckoutLibraryNames.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

namespace velquor::tool {

namespace {

struct DemoOptions {
  std::string toolkit = "gtk";
  std::string library = "kit";
  std::optional<std::string> screenshot;
  bool interactive = false;
};

// Runs this same command again under xvfb-run; returns only if that cannot be done.
[[noreturn]] void rerunUnderVirtualDisplay(const DemoOptions& options) {
  std::string self(4096, '\0');
  const auto length = readlink("/proc/self/exe", self.data(), self.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= self.size()) {
    throw CommandFailure(kExitSoftware, "cannot find this program's own path");
  }
  self.resize(static_cast<std::size_t>(length));
  std::vector<std::string> arguments = {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -nolisten tcp",
                                        self, "demo", "--toolkit", options.toolkit, "--library", options.library};
  if (options.screenshot) arguments.insert(arguments.end(), {"--screenshot", *options.screenshot});
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // No accessibility bus on a virtual display, nor a GPU.
  setenv("NO_AT_BRIDGE", "1", 1);
  setenv("GDK_BACKEND", "x11", 1);
  setenv("GTK_A11Y", "none", 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("QT_ACCESSIBILITY", "0", 1);
  setenv("QT_QUICK_BACKEND", "software", 0);
  unsetenv("WAYLAND_DISPLAY");
  std::cerr << "velquor demo: no display; running under xvfb-run" << std::endl;
  execvp("xvfb-run", argv.data());
  throw CommandFailure(kExitUnavailable, std::string("no display, and xvfb-run cannot be started: ") + std::strerror(errno) +
                                             " (install the xvfb package)");
}

int runDemo(const DemoOptions& options) {
  if (!displayAvailable()) {
    if (options.interactive) throw CommandFailure(kExitUnavailable, "velquor demo --interactive needs a display");
    rerunUnderVirtualDisplay(options);
  }
  sandbox::SandboxOptions gatewayOptions;
  gatewayOptions.autoResult = options.interactive ? sandbox::AutoResult::none : sandbox::AutoResult::success;
  sandbox::SandboxGateway gateway(std::move(gatewayOptions));
  std::cerr << "velquor demo: sandbox gateway at " << gateway.endpoint() << ", checkout with " << options.library << " on "
            << options.toolkit << std::endl;

  CheckoutSessionOptions session;
  session.toolkit = options.toolkit;
  session.screenshotPath = options.screenshot;
  session.library = options.library;
  session.endpoint = gateway.endpoint();
  session.paramsDocument = std::string(kSampleParams);
  session.timeout = std::chrono::seconds(options.interactive ? 3600 : 120);
  return runCheckoutSession(session);
}

}  // namespace

void addDemoCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<DemoOptions>();
  auto* command = app.add_subcommand("demo", "Pay the sample order on a local sandbox gateway and print the result");
  command->add_option("--toolkit", options->toolkit, "Toolkit whose window shows the checkout")
      ->check(CLI::IsMember(toolkitNames()))
      ->capture_default_str();
  command->add_option("--library", options->library, "Library whose checkout runs the payment")
      ->check(CLI::IsMember(adapter::libraryNames()))
      ->capture_default_str();
  command->add_option("--screenshot", options->screenshot, "Write a PNG of the checkout window once the payment page has loaded");
  command->add_flag("--interactive", options->interactive, "Leave Pay or Decline to you instead of paying at once");
  command->callback([&action, options] { action = [options] { return runDemo(*options); }; });
}

}  // namespace velquor::tool
