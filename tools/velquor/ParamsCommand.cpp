// velquor params check: decodes a parameters document with the library's decoding and prints it as
// the library encodes it.

#include "Commands.h"
#include "Input.h"
#include "LibraryCalls.h"

#include <iostream>
#include <memory>

namespace velquor::tool {

namespace {

struct ParamsOptions {
  std::string library = "kit";
  std::string input = "-";
};

int runCheck(const ParamsOptions& options) {
  auto library = openLibrary(options.library);
  loadParams(*library, readInput(options.input));
  std::cout << encodedParams(*library) << '\n';
  return 0;
}

}  // namespace

void addParamsCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ParamsOptions>();
  auto* params = app.add_subcommand("params", "Work with payment parameters documents");
  params->require_subcommand(1);
  auto* check = params->add_subcommand("check", "Decode a parameters document and print it as the library encodes it");
  check->add_option("--library", options->library, "Library whose coding is used")->check(CLI::IsMember(adapter::libraryNames()));
  check->add_option("input", options->input, "Parameters JSON file, or - for standard input")->capture_default_str();
  check->callback([&action, options] { action = [options] { return runCheck(*options); }; });
}

}  // namespace velquor::tool
