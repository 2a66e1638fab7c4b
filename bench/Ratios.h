#pragma once

// Each figure the benchmarks report is a ratio of two benchmarks measured in the same run, so it
// holds on a noisy machine. A benchmark file declares its ratios next to its benchmarks.

#include <string>
#include <vector>

namespace bench {

struct Ratio {
  std::string label;
  std::string numerator;    // benchmark name
  std::string denominator;  // benchmark name
  double target;            // the ratio must not exceed it
};

std::vector<Ratio>& ratios();

struct RatioRegistration {
  RatioRegistration(std::string label, std::string numerator, std::string denominator, double target) {
    ratios().push_back({std::move(label), std::move(numerator), std::move(denominator), target});
  }
};

}  // namespace bench
