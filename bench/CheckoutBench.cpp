// The real checkout, timed against its floor: each library's checkout on the GTK toolkit against
// a bare WebKitGTK web view doing the same work in the same process; resident size over many
// checkouts; and the first checkout of a fresh process with and without prewarm(). Needs a display
// (bench/run starts a virtual one). Prints every figure as "ratio / measured / target", like
// velquor_bench, and exits with 1 when one misses its target.
//
//   velquor_checkout_bench [--runs 20] [--memory-checkouts 50] [--fresh-runs 7]
//                          [--libraries kit,classic] [--skip timing|memory|prewarm]... [--verbose]
//                          [--transition-ms N]   (time checkouts that slide in over N ms)
//                          [--rounds 3]          (each comparison in this many rounds of fresh processes)
//                          [--latency-ms N]      (the sandbox gateway holds each answer N ms)
//                          [--pss-rounds N]      (also weigh one open checkout and one bare web view
//                                                 with their processes, N fresh processes each; no target)
//                          [--app-checkouts N]   (also time N checkouts per library run back to back,
//                                                 each dismissed from its delegate call; no target)

#include "CheckoutMeasurements.h"
#include "BenchOptions.h"
#include "CheckoutComparisons.h"
#include "ChildRun.h"
#include "OpenPageMemory.h"
#include "RatioTable.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

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

constexpr double kResidentGrowthTargetMB = 2;

using Options = BenchOptions;

int runChildMode(const Options& options) {
  if (!gtk_init_check()) throw std::runtime_error("no display; run under xvfb-run -a (bench/run does)");
  if (options.child == "timing") {
    measureCheckoutTimes(options.runs, options.libraries, stageSettingsOf(options));
  } else if (options.child == "memory" && options.library) {
    measureResidentGrowth(*options.library, options.memoryCheckouts);
  } else if (options.child == "first" && options.library) {
    measureFirstCheckout(*options.library, options.prewarm, stageSettingsOf(options));
  } else if (options.child == "open" && options.library) {
    measureOpenMemory(*options.library, options.floor);
  } else if (options.child == "app" && options.library) {
    measureAppCheckouts(*options.library, options.appCheckouts, stageSettingsOf(options));
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
    std::printf("Resident size, %s, %d sequential checkouts in a fresh process...\n", name.c_str(),
                options.memoryCheckouts);
    std::fflush(stdout);
    const auto report = runChild({"--child", "memory", "--library", libraryName(library), "--memory-checkouts",
                                  std::to_string(options.memoryCheckouts)});
    showNotes(report, options.verbose);
    const double first = result(report, "rss.first") / (1024 * 1024);
    const double last = result(report, "rss.last") / (1024 * 1024);
    const double heapFirst = result(report, "heap.first") / (1024 * 1024);
    const double heapLast = result(report, "heap.last") / (1024 * 1024);
    const double released = result(report, "rss.released") / (1024 * 1024);
    // After the 10th as well, when there are more: growth that stops there is caches filling, not a leak.
    const bool settled = options.memoryCheckouts > kSettledAfter;
    char afterSettling[48] = "";
    if (settled) {
      std::snprintf(afterSettling, sizeof afterSettling, "after %d: %.1f MB, ", kSettledAfter,
                    result(report, "rss.settled") / (1024 * 1024));
    }
    std::printf(
        "  %-15s resident after 1: %.1f MB, %safter %d: %.1f MB (%.1f MB once malloc returns its free heap);\n"
        "  %-15s heap in use after 1: %.1f MB, after %d: %.1f MB (growth %.2f MB)\n",
        name.c_str(), first, afterSettling, options.memoryCheckouts, last, released, "", heapFirst,
        options.memoryCheckouts, heapLast, heapLast - heapFirst);
    table.add(name + " resident growth, 1 -> " + std::to_string(options.memoryCheckouts) + " checkouts (MB)",
              last - first, kResidentGrowthTargetMB);
  }
}

// Not a check: where the time of a checkout goes when an app runs them one after another.
void timeAppCheckouts(const Options& options) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("Checkouts back to back, %s, %d in a fresh process, each dismissed from its delegate call...\n",
                name.c_str(), options.appCheckouts);
    std::fflush(stdout);
    std::vector<std::string> arguments{"--child", "app", "--library", libraryName(library), "--app-checkouts",
                                       std::to_string(options.appCheckouts)};
    if (options.transitionMs) arguments.insert(arguments.end(), {"--transition-ms", std::to_string(*options.transitionMs)});
    const auto report = runChild(arguments);
    showNotes(report, options.verbose);
    std::printf("  %-15s from the launcher call (median): payment start %8.1f ms, gateway POST %8.1f ms, delegate call %8.1f ms\n",
                name.c_str(), result(report, "app.pageload"), result(report, "app.post"), result(report, "app.completion"));
    std::printf("  %-15s ranges: gateway POST %.1f-%.1f ms, delegate call %.1f-%.1f ms\n", "",
                result(report, "app.post.min"), result(report, "app.post.max"), result(report, "app.completion.min"),
                result(report, "app.completion.max"));
  }
}

std::string cpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown CPU";
}

std::string loadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

int orchestrate(const Options& options) {
  std::printf("velquor_checkout_bench: %ld CPUs (%s), WebKitGTK %u.%u.%u, load average %s\n",
              sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str(), webkit_get_major_version(), webkit_get_minor_version(),
              webkit_get_micro_version(), loadAverage().c_str());
  RatioTable table;
  // Fresh processes first, while nothing else of the benchmark runs.
  if (!options.skipped.contains("prewarm")) comparePrewarm(options, {"", "web view"}, table);
  if (!options.skipped.contains("timing")) timeCheckouts(options, {"", "web view"}, table);
  if (!options.skipped.contains("memory")) measureMemory(options, table);
  if (options.appCheckouts > 0) timeAppCheckouts(options);
  // Not a check, and opt-in: what one open checkout weighs with its processes.
  if (options.pssRounds > 0) compareOpenPageMemory(options.libraries, options.pssRounds, "", table);
  std::printf("load average at the end: %s\n", loadAverage().c_str());
  return table.print() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto options = parseBenchOptions(argc, argv);
    return options.child.empty() ? orchestrate(options) : runChildMode(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velquor_checkout_bench: %s\n", error.what());
    return 2;
  }
}
