// Runs the benchmarks in rounds, then prints each declared ratio: its median over the rounds, their
// range and its target. Each round's ratio comes from its own numerator and denominator, measured in
// that round, so a slow moment of a noisy machine touches one round, not a pairing across rounds. A
// ratio meets its target only when every round does. Exit status 1 when one misses it, 2 for a bad
// argument.
//
//   velquor_bench [--rounds N] [Google Benchmark's own arguments]     N defaults to 3

#include "RatioTable.h"
#include "Ratios.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace bench {

std::vector<Ratio>& ratios() {
  static std::vector<Ratio> all;
  return all;
}

namespace {

constexpr int kDefaultRounds = 3;

class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  // The machine's description once, before the first round.
  bool ReportContext(const Context& context) override {
    if (contextReported_) return true;
    contextReported_ = true;
    return ConsoleReporter::ReportContext(context);
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      timeNs[run.run_name.function_name] = run.GetAdjustedCPUTime() * nanoseconds(run.time_unit);
    }
  }
  std::map<std::string, double> timeNs;  // this round's

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
  bool contextReported_ = false;
};

// Takes "--rounds N" or "--rounds=N" out of argv, before Google Benchmark reads the rest. Nothing
// when it is not there; a value that is not a positive count gives 0.
std::optional<int> takeRounds(int& argc, char** argv) {
  std::optional<int> rounds;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    std::optional<std::string_view> value;
    if (argument == "--rounds") {
      value = i + 1 < argc ? std::string_view(argv[++i]) : std::string_view();
    } else if (argument.starts_with("--rounds=")) {
      value = argument.substr(std::string_view("--rounds=").size());
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    char* end = nullptr;
    const std::string text(*value);
    const long count = std::strtol(text.c_str(), &end, 10);
    rounds = !text.empty() && *end == '\0' && count > 0 && count <= 1000 ? static_cast<int>(count) : 0;
  }
  argc = kept;
  argv[argc] = nullptr;
  return rounds;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  const auto requested = bench::takeRounds(argc, argv);
  if (requested && *requested == 0) {
    std::fprintf(stderr, "velquor_bench: --rounds needs a positive count\n");
    return 2;
  }
  const int rounds = requested.value_or(bench::kDefaultRounds);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

  const auto& ratios = bench::ratios();
  std::vector<std::vector<double>> values(ratios.size());
  bench::CollectingReporter reporter;
  for (int round = 1; round <= rounds; ++round) {
    std::printf("%s-- round %d of %d\n", round == 1 ? "" : "\n", round, rounds);
    std::fflush(stdout);
    reporter.timeNs.clear();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (std::size_t i = 0; i < ratios.size(); ++i) {
      const auto numerator = reporter.timeNs.find(ratios[i].numerator);
      const auto denominator = reporter.timeNs.find(ratios[i].denominator);
      if (numerator == reporter.timeNs.end() || denominator == reporter.timeNs.end() || denominator->second <= 0) continue;
      values[i].push_back(numerator->second / denominator->second);
    }
  }
  benchmark::Shutdown();

  // A ratio that a filter left out is not printed.
  bench::RatioTable table;
  for (std::size_t i = 0; i < ratios.size(); ++i) {
    if (!values[i].empty()) table.addRounds(ratios[i].label, values[i], ratios[i].target);
  }
  const int missed = table.print();
  std::printf("(%d round%s: median and range over them; ok only when every round meets the target)\n", rounds,
              rounds == 1 ? "" : "s");
  return missed == 0 ? 0 : 1;
}
