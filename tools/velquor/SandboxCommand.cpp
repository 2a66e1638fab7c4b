// velquor sandbox: the sandbox gateway on loopback until SIGINT or SIGTERM.

#include "CommandFailure.h"
#include "Commands.h"

#include "sandbox/SandboxGateway.h"

#include <csignal>
#include <cstdint>
#include <iostream>
#include <memory>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velquor::tool {

namespace {

struct SandboxCommandOptions {
  std::uint16_t port = 0;
  sandbox::AutoResult autoResult = sandbox::AutoResult::none;
  unsigned latencyMs = 0;
};

int stopPipe[2] = {-1, -1};

void requestStop(int) {
  const char byte = 0;
  [[maybe_unused]] const auto written = ::write(stopPipe[1], &byte, 1);
}

// A handler rather than a blocked mask and sigwait: libraries may have started threads before
// this runs, and a stop signal delivered to one of those must not kill the process with the
// default action. Installing a handler also overrides an ignored SIGINT, as a shell leaves it for
// background commands.
void catchStopSignals() {
  if (stopPipe[0] < 0 && ::pipe2(stopPipe, O_CLOEXEC) != 0) {
    throw CommandFailure(kExitSoftware, "velquor sandbox: cannot create a pipe");
  }
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void waitForStopSignal() {
  char byte = 0;
  while (::read(stopPipe[0], &byte, 1) < 0 && errno == EINTR) {
  }
}

int runSandbox(const SandboxCommandOptions& options) {
  catchStopSignals();

  sandbox::SandboxOptions gatewayOptions;
  gatewayOptions.port = options.port;
  gatewayOptions.latency = std::chrono::milliseconds(options.latencyMs);
  gatewayOptions.autoResult = options.autoResult;
  gatewayOptions.onRequest = [](const sandbox::ReceivedRequest& request) {
    const auto* orderId = sandbox::lastValue(request.fields, "order_id");
    // One write per line: requests arrive on several threads.
    std::cerr << singleLine("received payment request " + request.transactionId + " for order \"" +
                            (orderId ? *orderId : std::string()) + "\" (" + std::to_string(request.fields.size()) +
                            " fields, user agent \"" + request.userAgent + "\")") +
                     '\n'
              << std::flush;
  };
  std::unique_ptr<sandbox::SandboxGateway> gateway;
  try {
    gateway = std::make_unique<sandbox::SandboxGateway>(std::move(gatewayOptions));
  } catch (const sandbox::SandboxError& error) {
    throw CommandFailure(kExitUnavailable, singleLine(std::string("velquor sandbox: ") + error.what()));
  }
  std::cout << "Velquor sandbox gateway listening on " << gateway->endpoint() << std::endl;

  waitForStopSignal();
  gateway->stop();
  return 0;
}

}  // namespace

void addSandboxCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<SandboxCommandOptions>();
  auto* command = app.add_subcommand("sandbox", "Serve the sandbox payment gateway on 127.0.0.1 until interrupted");
  command->add_option("--port", options->port, "Port to listen on (default: a free port, printed on start)")
      ->check(CLI::Range(0, 65535));
  command
      ->add_option_function<std::string>(
          "--auto",
          [options](const std::string& result) {
            options->autoResult = result == "success" ? sandbox::AutoResult::success : sandbox::AutoResult::failure;
          },
          "Post this result as soon as the payment page loads")
      ->check(CLI::IsMember({"success", "failure"}));
  command->add_option("--latency-ms", options->latencyMs,
                      "Hold each answer this long after its request arrived, as a gateway across the internet does")
      ->check(CLI::Range(0u, static_cast<unsigned>(sandbox::SandboxGateway::kMaximumLatency.count())))
      ->capture_default_str();
  command->callback([&action, options] { action = [options] { return runSandbox(*options); }; });
}

}  // namespace velquor::tool
