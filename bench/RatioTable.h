#pragma once

// The checkout benchmarks' figures: each ratio printed with its target, in velquor_bench's columns.

#include "ChildRun.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

class RatioTable {
 public:
  void add(const std::string& label, double value, double target) { rows_.push_back({label, value, target}); }
  // Returns how many rows missed their target.
  int print() const {
    int missed = 0;
    std::printf("\n%-64s %10s %8s\n", "ratio", "measured", "target");
    for (const auto& row : rows_) {
      const bool met = row.value <= row.target;
      missed += met ? 0 : 1;
      std::printf("%-64s %10.2f %6s%.2f %s\n", row.label.c_str(), row.value, "<= ", row.target, met ? "ok" : "MISSED");
    }
    return missed;
  }

 private:
  struct Row {
    std::string label;
    double value;
    double target;
  };
  std::vector<Row> rows_;
};

// A figure a measuring run must have reported.
inline double result(const ChildReport& report, const std::string& name) {
  auto found = report.results.find(name);
  if (found == report.results.end()) throw std::runtime_error("a measuring run did not report " + name);
  return found->second;
}

}  // namespace bench
