#include "CommandFailure.h"
#include "Commands.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
  using namespace velquor::tool;
  CLI::App app("velquor: the Velquor checkout kit's command line");
  app.require_subcommand(1);
  CommandAction action;
  addFormCommand(app, action);
  addParamsCommand(app, action);
  addSandboxCommand(app, action);
#if VELQUOR_TOOL_HAS_GTK
  addCheckoutCommand(app, action);
  addDemoCommand(app, action);
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : kExitUsage;
  }
  try {
    return action ? action() : kExitUsage;
  } catch (const CommandFailure& failure) {
    std::cerr << singleLine(failure.what()) << '\n';
    return failure.exitCode();
  } catch (const std::exception& error) {
    std::cerr << "velquor: " << singleLine(error.what()) << '\n';
    return kExitSoftware;
  }
}
