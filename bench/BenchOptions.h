#pragma once

// The command line both checkout benchmarks take, for their orchestration and for the measuring
// runs they start of themselves.

#include "CheckoutMeasures.h"

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
  int rounds = 3;        // each comparison is repeated, and holds only when it holds in every round
  bool underSlide = false;
  int latencyMs = 0;
};

// The toolkit and gateway set-up the options ask for.
inline StageSettings stageSettingsOf(const BenchOptions& options) {
  StageSettings settings;
  if (options.transitionMs) settings.transition = std::chrono::milliseconds(*options.transitionMs);
  settings.underSlide = options.underSlide;
  settings.latency = std::chrono::milliseconds(options.latencyMs);
  return settings;
}

// Throws std::invalid_argument for an unknown argument or a bad value. `defaults` holds what an
// argument that is not given keeps.
BenchOptions parseBenchOptions(int argc, char** argv, BenchOptions defaults = {});

}  // namespace bench
