// Runs the benchmarks, then prints each declared ratio with its target. Exit status 1 when a ratio
// misses its target, so a script can tell.

#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace bench {

std::vector<Ratio>& ratios() {
  static std::vector<Ratio> all;
  return all;
}

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      timeNs[run.run_name.function_name] = run.GetAdjustedCPUTime() * nanoseconds(run.time_unit);
    }
  }
  std::map<std::string, double> timeNs;

 private:
  static double nanoseconds(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond: return 1;
      case benchmark::kMicrosecond: return 1e3;
      case benchmark::kMillisecond: return 1e6;
      case benchmark::kSecond: return 1e9;
    }
    return 1;
  }
};

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  bench::CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  int missed = 0;
  std::printf("\n%-64s %10s %8s\n", "ratio", "measured", "target");
  for (const auto& ratio : bench::ratios()) {
    auto numerator = reporter.timeNs.find(ratio.numerator);
    auto denominator = reporter.timeNs.find(ratio.denominator);
    if (numerator == reporter.timeNs.end() || denominator == reporter.timeNs.end() || denominator->second <= 0) continue;
    const double value = numerator->second / denominator->second;
    const bool met = value <= ratio.target;
    missed += met ? 0 : 1;
    std::printf("%-64s %10.2f %6s%.2f %s\n", ratio.label.c_str(), value, "<= ", ratio.target, met ? "ok" : "MISSED");
  }
  return missed == 0 ? 0 : 1;
}
