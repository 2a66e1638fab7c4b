#pragma once

// What one open checkout weighs beside one bare web view on the same page, on either toolkit: the
// proportional set size of the app and every process its engine runs for it. Each side is measured
// in fresh processes of its own ("--child open --library NAME [--floor]"), alternating.

#include "RatioTable.h"

#include <CheckoutLibraryNames.h>

#include <string>
#include <vector>

namespace bench {

// In a measuring run: reports "PREFIX.total", "PREFIX.app" and "PREFIX.processes" for this process
// and its descendants now.
void reportTreeMemory(const std::string& prefix);

// Runs the open-page measuring runs `rounds` times per side and library, and prints median and range.
// Adds "<prefix><library> open checkout, PSS of every process / a bare web view's" to `table`, one
// value per pair of fresh processes, against kOpenPageMemoryTarget.
void compareOpenPageMemory(const std::vector<velquor::adapter::Library>& libraries, int rounds,
                           const std::string& prefix, RatioTable& table);

inline constexpr double kOpenPageMemoryTarget = 1.05;

// "median (lowest-highest)" of `values` divided by `scale`, one decimal.
std::string medianAndRange(const std::vector<double>& values, double scale = 1);

}  // namespace bench
