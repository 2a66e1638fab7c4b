#pragma once

// The timing comparisons both checkout benchmarks make, in rounds: each library's checkout against a
// bare web view of the same toolkit (by default, and with the page loading under the slide), and the
// first checkout of a fresh process with prewarm (alone, and with the page under the slide) against
// a cold one. Each round runs fresh measuring processes; a ratio holds when it holds in every round.

#include "BenchOptions.h"
#include "RatioTable.h"

#include <string>

namespace bench {

struct ToolkitNames {
  std::string prefix;  // before each ratio's label ("" for GTK, "Qt ")
  std::string bare;    // the floor, as the output names it
};

void timeCheckouts(const BenchOptions& options, const ToolkitNames& toolkit, RatioTable& table);
void comparePrewarm(const BenchOptions& options, const ToolkitNames& toolkit, RatioTable& table);

// The arguments a measuring run needs to set its stage up as `options` say (slide, latency).
std::vector<std::string> stageArguments(const BenchOptions& options);

}  // namespace bench
