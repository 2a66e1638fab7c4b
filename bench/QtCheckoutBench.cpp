// The real checkout on the Qt toolkit, timed against its floor: each library's checkout against a
// bare QWebEngineView doing the same work in the same process; resident size over many checkouts;
// the first checkout of a fresh process with and without prewarm(); and what one open checkout
// weighs with all the engine's processes beside one bare web view. A program of its own, since the
// GTK and Qt toolkits do not share a process. Needs a display (bench/run starts a virtual one).
//
//   velquor_qt_checkout_bench [--runs 20] [--memory-checkouts 50] [--fresh-runs 7] [--pss-rounds 3]
//                             [--libraries kit,classic] [--skip timing|memory|prewarm|pss]...
//                             [--verbose] [--transition-ms N] [--app-checkouts N] [--rounds 3]
//                             [--latency-ms N]   (the sandbox gateway holds each answer N ms)

#include "BenchOptions.h"
#include "CheckoutComparisons.h"
#include "ChildRun.h"
#include "OpenPageMemory.h"
#include "QtCheckoutMeasurements.h"
#include "RatioTable.h"

#include <QApplication>
#include <QtGlobal>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace bench;

// The same targets as on GTK.
constexpr double kResidentGrowthTargetMB = 2;
constexpr double kMB = 1024 * 1024;

using Options = BenchOptions;

int runChildMode(const Options& options, int argc, char** argv) {
  QApplication application(argc, argv);
  if (options.child == "timing") {
    measureQtCheckoutTimes(options.runs, options.libraries, stageSettingsOf(options));
  } else if (options.child == "memory" && options.library) {
    measureQtResidentGrowth(*options.library, options.memoryCheckouts, options.floor);
  } else if (options.child == "first" && options.library) {
    measureQtFirstCheckout(*options.library, options.prewarm, stageSettingsOf(options));
  } else if (options.child == "open" && options.library) {
    measureQtOpenMemory(*options.library, options.floor);
  } else if (options.child == "idle") {
    measureQtPrewarmIdleCost();
  } else if (options.child == "app" && options.library) {
    measureQtAppCheckouts(*options.library, options.appCheckouts);
  } else {
    throw std::invalid_argument("unknown measuring run: " + options.child);
  }
  return 0;
}

void showNotes(const ChildReport& report, bool verbose) {
  if (!verbose) return;
  for (const auto& note : report.notes) std::printf("  %s\n", note.c_str());
}

void measureMemory(const Options& options, RatioTable& table) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("Resident size, %s, %d sequential checkouts in a fresh process, then as many bare web views...\n",
                name.c_str(), options.memoryCheckouts);
    std::fflush(stdout);
    std::vector<std::string> arguments{"--child", "memory", "--library", libraryName(library), "--memory-checkouts",
                                       std::to_string(options.memoryCheckouts)};
    const auto report = runChild(arguments);
    arguments.push_back("--floor");
    const auto bare = runChild(arguments);
    const double first = result(report, "rss.first") / kMB;
    const double last = result(report, "rss.last") / kMB;
    std::printf("  %-15s resident after 1: %.1f MB, after %d: %.1f MB (%.1f MB once malloc returns its free heap); "
                "heap in use %.1f -> %.1f MB\n",
                name.c_str(), first, options.memoryCheckouts, last, result(report, "rss.released") / kMB,
                result(report, "heap.first") / kMB, result(report, "heap.last") / kMB);
    // The engine's own warm-up (caches, pools) shows in a bare view too: what is left is the kit's.
    std::printf("  %-15s a bare QWebEngineView, %d pages, each in a new view: resident after 1: %.1f MB, after %d: "
                "%.1f MB (growth %.2f MB)\n",
                name.c_str(), options.memoryCheckouts, result(bare, "rss.first") / kMB, options.memoryCheckouts,
                result(bare, "rss.last") / kMB, (result(bare, "rss.last") - result(bare, "rss.first")) / kMB);
    const double bareGrowth = (result(bare, "rss.last") - result(bare, "rss.first")) / kMB;
    table.add("Qt " + name + " resident growth, 1 -> " + std::to_string(options.memoryCheckouts) +
                  " checkouts, beyond a bare view's (MB)",
              last - first - bareGrowth, kResidentGrowthTargetMB);
  }
}

// Not a check: what a ready spare page costs while the app is idle.
void measurePrewarmIdleCost(const Options& options) {
  std::printf("Idle cost of a ready prewarm() (PSS of the whole tree), %d fresh processes...\n", options.pssRounds);
  std::fflush(stdout);
  std::vector<double> cost, readiness;
  for (int round = 0; round < options.pssRounds; ++round) {
    const auto report = runChild({"--child", "idle"});
    cost.push_back(result(report, "pss.after.total") - result(report, "pss.before.total"));
    readiness.push_back(result(report, "prewarm.ready"));
  }
  std::printf("  prewarmed spare page: +%s MB, ready after %s ms\n", medianAndRange(cost, kMB).c_str(), medianAndRange(readiness).c_str());
}

void timeAppCheckouts(const Options& options) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("Checkouts one after another, %s, %d in a fresh process...\n", name.c_str(), options.appCheckouts);
    std::fflush(stdout);
    const auto report = runChild({"--child", "app", "--library", libraryName(library), "--app-checkouts",
                                  std::to_string(options.appCheckouts)});
    showNotes(report, options.verbose);
    std::printf("  %-15s from the launcher call, median (range): gateway POST %.1f (%.1f-%.1f) ms, delegate call "
                "%.1f (%.1f-%.1f) ms\n",
                name.c_str(), result(report, "app.post"), result(report, "app.post.min"),
                result(report, "app.post.max"), result(report, "app.completion"), result(report, "app.completion.min"),
                result(report, "app.completion.max"));
  }
}

std::string loadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

int orchestrate(const Options& options) {
  std::printf("velquor_qt_checkout_bench: %ld CPUs, Qt %s, load average %s\n", sysconf(_SC_NPROCESSORS_ONLN),
              qVersion(), loadAverage().c_str());
  RatioTable table;
  if (!options.skipped.contains("prewarm")) comparePrewarm(options, {"Qt ", "QWebEngineView"}, table);
  if (!options.skipped.contains("pss")) {
    compareOpenPageMemory(options.libraries, options.pssRounds, "Qt ", table);
    measurePrewarmIdleCost(options);
  }
  if (!options.skipped.contains("timing")) timeCheckouts(options, {"Qt ", "QWebEngineView"}, table);
  if (!options.skipped.contains("memory")) measureMemory(options, table);
  if (options.appCheckouts > 0) timeAppCheckouts(options);
  std::printf("load average at the end: %s\n", loadAverage().c_str());
  return table.print() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    BenchOptions defaults;
    defaults.pssRounds = 3;
    const auto options = parseBenchOptions(argc, argv, defaults);
    return options.child.empty() ? orchestrate(options) : runChildMode(options, argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velquor_qt_checkout_bench: %s\n", error.what());
    return 2;
  }
}
