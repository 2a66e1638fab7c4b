#pragma once

// The benchmarks' figures: each ratio printed with its target. A figure measured once is printed as
// it is; one measured in rounds with its median and range, and it meets its target only when every
// round does.

#include "CheckoutMeasures.h"
#include "ChildRun.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

class RatioTable {
 public:
  void add(const std::string& label, double value, double target) { rows_.push_back({label, value, target}); }
  // One value per round. Without a target the figure is a regression guard: printed, never missed.
  void addRounds(const std::string& label, std::vector<double> values, std::optional<double> target) {
    roundRows_.push_back({label, std::move(values), target});
  }
  // Prints the figures measured once, then those measured in rounds, each kind under its own
  // header. Returns how many rows missed their target.
  int print() const {
    int missed = 0;
    if (!rows_.empty() || roundRows_.empty()) {
      std::printf("\n%-64s %10s %8s\n", "ratio", "measured", "target");
      for (const auto& row : rows_) {
        const bool met = row.value <= row.target;
        missed += met ? 0 : 1;
        std::printf("%-64s %10.2f %6s%.2f %s\n", row.label.c_str(), row.value, "<= ", row.target, met ? "ok" : "MISSED");
      }
    }
    if (!roundRows_.empty()) {
      std::printf("\n%-64s %10s %13s %10s\n", "ratio", "median", "range", "target");
      for (const auto& row : roundRows_) missed += printRounds(row) ? 0 : 1;
    }
    return missed;
  }

 private:
  struct Row {
    std::string label;
    double value;
    double target;
  };
  struct RoundsRow {
    std::string label;
    std::vector<double> values;
    std::optional<double> target;
  };

  // Whether the row met its target (a row without one always does).
  static bool printRounds(const RoundsRow& row) {
    if (row.values.empty()) {
      std::printf("%-64s %10s %13s %10s %s\n", row.label.c_str(), "-", "-", "", row.target ? "not measured" : "");
      return !row.target;
    }
    const auto [lowest, highest] = std::minmax_element(row.values.begin(), row.values.end());
    char range[32];
    std::snprintf(range, sizeof range, "%.2f-%.2f", *lowest, *highest);
    if (!row.target) {
      std::printf("%-64s %10.2f %13s %10s\n", row.label.c_str(), median(row.values), range, "no target");
      return true;
    }
    const bool met = *highest <= *row.target;
    char target[32];
    std::snprintf(target, sizeof target, "<= %.2f", *row.target);
    std::printf("%-64s %10.2f %13s %10s %s\n", row.label.c_str(), median(row.values), range, target, met ? "ok" : "MISSED");
    return met;
  }

  std::vector<Row> rows_;
  std::vector<RoundsRow> roundRows_;
};

// A figure a measuring run must have reported.
inline double result(const ChildReport& report, const std::string& name) {
  auto found = report.results.find(name);
  if (found == report.results.end()) throw std::runtime_error("a measuring run did not report " + name);
  return found->second;
}

}  // namespace bench
