#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace velquor::tool {

// Each add...Command registers a subcommand; the returned action runs it and gives the exit status.
using CommandAction = std::function<int()>;

void addFormCommand(CLI::App& app, CommandAction& action);
void addParamsCommand(CLI::App& app, CommandAction& action);

}  // namespace velquor::tool
