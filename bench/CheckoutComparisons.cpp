#include "CheckoutComparisons.h"

#include "ChildRun.h"
#include "OpenPageMemory.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace bench {

namespace {

using velquor::adapter::libraryName;
using velquor::adapter::moduleName;

// By default a checkout waits for its slide, which a bare view does not have: what the checkout adds
// is measured as the page load's slack beyond the later of the two, and the whole time to the POST
// against a bare view is printed for comparison only. The same holds for prewarm alone, which can
// save only what exceeds the slide.
constexpr double kUnderSlideRatioTarget = 1.05;
// The page load starts at most this long after the later of the slide's end and a bare view's start.
constexpr double kPageLoadSlackTargetMs = 10;
// With the page under the slide as well as prewarmed, half the time to the first post.
constexpr double kPrewarmUnderSlideRatioTarget = 0.50;
// The toolkits' own slide, when the options do not set one.
constexpr double kDefaultSlideMs = 300;

struct Configuration {
  const char* name;
  bool underSlide;
};
constexpr Configuration kConfigurations[] = {{"default", false}, {"under the slide", true}};

// Figures of one library and configuration, one value per round.
struct Rounds {
  std::map<std::string, std::vector<double>> values;
  void add(const std::string& name, double value) { values[name].push_back(value); }
  const std::vector<double>& operator[](const std::string& name) { return values[name]; }
};

std::string librariesArgument(const BenchOptions& options) {
  std::string libraries;
  for (const auto library : options.libraries) libraries += (libraries.empty() ? "" : ",") + libraryName(library);
  return libraries;
}

std::vector<double> ratios(const std::vector<double>& numerators, const std::vector<double>& denominators) {
  std::vector<double> values;
  for (std::size_t i = 0; i < std::min(numerators.size(), denominators.size()); ++i) {
    values.push_back(numerators[i] / denominators[i]);
  }
  return values;
}

}  // namespace

std::vector<std::string> stageArguments(const BenchOptions& options) {
  std::vector<std::string> arguments;
  if (options.transitionMs) arguments.insert(arguments.end(), {"--transition-ms", std::to_string(*options.transitionMs)});
  if (options.latencyMs > 0) arguments.insert(arguments.end(), {"--latency-ms", std::to_string(options.latencyMs)});
  return arguments;
}

void timeCheckouts(const BenchOptions& options, const ToolkitNames& toolkit, RatioTable& table) {
  std::printf("Checkout vs bare %s: %d rounds of %d runs each after one warm-up, interleaved, a fresh process per "
              "round and configuration...\n",
              toolkit.bare.c_str(), options.rounds, options.runs);
  std::fflush(stdout);
  const double slide = options.transitionMs ? *options.transitionMs : kDefaultSlideMs;
  std::map<std::string, Rounds> figures;  // "<configuration>/<library>"
  for (int round = 0; round < options.rounds; ++round) {
    for (const auto& configuration : kConfigurations) {
      std::vector<std::string> arguments{"--child", "timing", "--runs", std::to_string(options.runs), "--libraries",
                                         librariesArgument(options)};
      const auto stage = stageArguments(options);
      arguments.insert(arguments.end(), stage.begin(), stage.end());
      if (configuration.underSlide) arguments.push_back("--under-slide");
      const auto report = runChild(arguments);
      if (options.verbose) {
        for (const auto& note : report.notes) std::printf("  %s\n", note.c_str());
      }
      for (const auto library : options.libraries) {
        auto& rounds = figures[std::string(configuration.name) + "/" + libraryName(library)];
        const std::string key = libraryName(library);
        for (const std::string stage :
             {"launched", "slidestart", "slideend", "pageload", "post", "completion", "cpupageload", "cpulauncher"}) {
          rounds.add("checkout." + stage, result(report, key + ".checkout." + stage));
        }
        for (const std::string stage : {"pageload", "post", "completion", "cpupageload"}) {
          rounds.add("floor." + stage, result(report, key + ".floor." + stage));
        }
      }
    }
  }
  std::printf("  Critical path, medians over the rounds of each round's median (ms from the launcher call; the bare\n"
              "  view's from its making); latency of the gateway %d ms:\n",
              options.latencyMs);
  for (const auto& configuration : kConfigurations) {
    for (const auto library : options.libraries) {
      auto& rounds = figures[std::string(configuration.name) + "/" + libraryName(library)];
      const std::string name = moduleName(library);
      std::printf("  %-15s %-16s launcher returns %5.1f, slide %6.1f -> %6.1f, page load start %6.1f, POST %6.1f, "
                  "delegate %6.1f\n",
                  name.c_str(), configuration.name, median(rounds["checkout.launched"]), median(rounds["checkout.slidestart"]),
                  median(rounds["checkout.slideend"]), median(rounds["checkout.pageload"]),
                  median(rounds["checkout.post"]), median(rounds["checkout.completion"]));
      std::printf("  %-15s %-16s bare %-48s page load start %6.1f, POST %6.1f, delegate %6.1f\n", "", "",
                  toolkit.bare.c_str(), median(rounds["floor.pageload"]), median(rounds["floor.post"]),
                  median(rounds["floor.completion"]));
      std::printf("  %-15s %-16s POST ms checkout %s, bare %s\n", "", "", medianAndRange(rounds["checkout.post"]).c_str(),
                  medianAndRange(rounds["floor.post"]).c_str());
      // What the app's process spent meanwhile: the slide's frames are drawn there, on the cores the
      // engine's processes start on.
      std::printf("  %-15s %-16s app CPU ms to the page load start: checkout %s (launcher call %.1f), bare %s\n", "", "",
                  medianAndRange(rounds["checkout.cpupageload"]).c_str(), median(rounds["checkout.cpulauncher"]),
                  medianAndRange(rounds["floor.cpupageload"]).c_str());
      const auto postRatios = ratios(rounds["checkout.post"], rounds["floor.post"]);
      if (!configuration.underSlide) {
        table.addRounds(toolkit.prefix + name + " checkout to gateway POST / bare web view", postRatios, std::nullopt);
        table.addRounds(toolkit.prefix + name + " checkout to delegate completion / bare web view",
                        ratios(rounds["checkout.completion"], rounds["floor.completion"]), std::nullopt);
        std::vector<double> slack;
        const auto& pageLoad = rounds["checkout.pageload"];
        const auto& bare = rounds["floor.pageload"];
        for (std::size_t i = 0; i < std::min(pageLoad.size(), bare.size()); ++i) {
          slack.push_back(pageLoad[i] - std::max(slide, bare[i]));
        }
        table.addRounds(toolkit.prefix + name + " page load start - max(slide, bare's) (ms)", slack,
                        kPageLoadSlackTargetMs);
      } else {
        table.addRounds(toolkit.prefix + name + " under the slide: checkout to POST / bare web view", postRatios,
                        kUnderSlideRatioTarget);
      }
    }
  }
}

void comparePrewarm(const BenchOptions& options, const ToolkitNames& toolkit, RatioTable& table) {
  struct Arm {
    const char* name;
    bool prewarm;
    bool underSlide;
  };
  constexpr Arm kArms[] = {{"cold", false, false}, {"prewarmed", true, false}, {"prewarmed, under the slide", true, true}};
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("First checkout, %s: %d rounds of %d fresh processes per arm (cold, prewarmed, prewarmed with the "
                "page under the slide), in turn...\n",
                name.c_str(), options.rounds, options.freshRuns);
    std::fflush(stdout);
    std::map<std::string, std::vector<double>> perRound;  // "<arm>.<figure>": one median per round
    for (int round = 0; round < options.rounds; ++round) {
      std::map<std::string, std::vector<double>> samples;
      for (int run = 0; run < options.freshRuns; ++run) {
        for (std::size_t turn = 0; turn < std::size(kArms); ++turn) {
          // Rotating which arm goes first, so that a trend in the machine's load weighs on all alike.
          const auto& arm = kArms[(turn + static_cast<std::size_t>(run)) % std::size(kArms)];
          std::vector<std::string> arguments{"--child", "first", "--library", libraryName(library)};
          const auto stage = stageArguments(options);
          arguments.insert(arguments.end(), stage.begin(), stage.end());
          if (arm.prewarm) arguments.push_back("--prewarm");
          if (arm.underSlide) arguments.push_back("--under-slide");
          const auto report = runChild(arguments);
          samples[std::string(arm.name) + ".post"].push_back(result(report, "first.post"));
          samples[std::string(arm.name) + ".completion"].push_back(result(report, "first.completion"));
          if (arm.prewarm) samples[std::string(arm.name) + ".ready"].push_back(result(report, "prewarm.ready"));
        }
      }
      for (const auto& [figure, values] : samples) perRound[figure].push_back(median(values));
    }
    for (const auto& arm : kArms) {
      const std::string key = arm.name;
      std::printf("  %-15s %-28s first POST %s ms, delegate %s ms%s%s\n", name.c_str(), arm.name,
                  medianAndRange(perRound[key + ".post"]).c_str(), medianAndRange(perRound[key + ".completion"]).c_str(),
                  arm.prewarm ? ", prewarm ready after " : "",
                  arm.prewarm ? (medianAndRange(perRound[key + ".ready"]) + " ms").c_str() : "");
    }
    table.addRounds(toolkit.prefix + name + " first checkout to POST, prewarmed / cold",
                    ratios(perRound["prewarmed.post"], perRound["cold.post"]), std::nullopt);
    table.addRounds(toolkit.prefix + name + " first checkout to POST, prewarmed under the slide / cold",
                    ratios(perRound["prewarmed, under the slide.post"], perRound["cold.post"]),
                    kPrewarmUnderSlideRatioTarget);
  }
}

}  // namespace bench
