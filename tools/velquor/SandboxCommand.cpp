// velquor sandbox: the sandbox gateway on loopback until SIGINT or SIGTERM.

#include "CommandFailure.h"
#include "Commands.h"

#include "sandbox/SandboxGateway.h"

#include <csignal>
#include <cstdint>
#include <iostream>
#include <memory>
#include <pthread.h>

namespace velquor::tool {

namespace {

struct SandboxCommandOptions {
  std::uint16_t port = 0;
  sandbox::AutoResult autoResult = sandbox::AutoResult::none;
};

int runSandbox(const SandboxCommandOptions& options) {
  // Blocked before the gateway starts its threads, so they inherit the mask and the signals wait
  // for sigwait below. A shell starts background commands with SIGINT ignored, and POSIX leaves
  // open whether an ignored signal stays pending for sigwait: take the default disposition back.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);

  sandbox::SandboxOptions gatewayOptions;
  gatewayOptions.port = options.port;
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

  int received = 0;
  sigwait(&stopSignals, &received);
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
  command->callback([&action, options] { action = [options] { return runSandbox(*options); }; });
}

}  // namespace velquor::tool
