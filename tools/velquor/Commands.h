#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace velquor::tool {

// Each add...Command registers a subcommand; the returned action runs it and gives the exit status.
using CommandAction = std::function<int()>;

void addFormCommand(CLI::App& app, CommandAction& action);
void addParamsCommand(CLI::App& app, CommandAction& action);
void addSandboxCommand(CLI::App& app, CommandAction& action);
#if VELQUOR_TOOL_HAS_GTK
void addCheckoutCommand(CLI::App& app, CommandAction& action);
void addDemoCommand(CLI::App& app, CommandAction& action);
#endif

}  // namespace velquor::tool
