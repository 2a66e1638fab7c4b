#pragma once

// The command line both checkout benchmarks take, for their orchestration and for the measuring
// runs they start of themselves.

#include <CheckoutLibraryNames.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace bench {

struct BenchOptions {
  int runs = 20;
  int memoryCheckouts = 50;
  int freshRuns = 7;
  std::vector<velquor::adapter::Library> libraries{velquor::adapter::Library::kit, velquor::adapter::Library::classic};
  std::set<std::string> skipped;
  bool verbose = false;
  // A measuring run started by the benchmark itself.
  std::string child;
  std::optional<velquor::adapter::Library> library;
  bool prewarm = false;
  bool floor = false;
  int pssRounds = 0;  // none: not measured
  std::optional<int> transitionMs;
  int appCheckouts = 0;  // none: not measured
};

// Throws std::invalid_argument for an unknown argument or a bad value. `defaults` holds what an
// argument that is not given keeps.
BenchOptions parseBenchOptions(int argc, char** argv, BenchOptions defaults = {});

}  // namespace bench
