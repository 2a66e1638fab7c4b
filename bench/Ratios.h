#pragma once

// Each figure the benchmarks report is a ratio of two benchmarks measured in the same round, so it
// holds on a noisy machine. A benchmark file declares its ratios next to its benchmarks.

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct Ratio {
  std::string label;
  std::string numerator;         // benchmark name
  std::string denominator;       // benchmark name
  std::optional<double> target;  // the ratio must not exceed it; none: printed as a regression guard only
};

// For a ratio printed as a regression guard only, such as a page against a memcpy of its bytes: no
// floor the page could come near, but a slower page shows.
inline constexpr std::nullopt_t kNoTarget = std::nullopt;

std::vector<Ratio>& ratios();

struct RatioRegistration {
  RatioRegistration(std::string label, std::string numerator, std::string denominator, std::optional<double> target) {
    ratios().push_back({std::move(label), std::move(numerator), std::move(denominator), target});
  }
};

}  // namespace bench
