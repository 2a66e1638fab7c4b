#include "OpenPageMemory.h"

#include "CheckoutMeasures.h"
#include "ChildRun.h"
#include "ProcessTree.h"
#include "RatioTable.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

constexpr double kMB = 1024 * 1024;

}  // namespace

void reportTreeMemory(const std::string& prefix) {
  const auto memory = treeMemory();
  reportResult(prefix + ".total", static_cast<double>(memory.total));
  reportResult(prefix + ".app", static_cast<double>(memory.app));
  reportResult(prefix + ".processes", static_cast<double>(memory.processes));
}

std::string medianAndRange(const std::vector<double>& values, double scale) {
  if (values.empty()) return "none";
  char text[64];
  std::snprintf(text, sizeof text, "%.1f (%.1f-%.1f)", median(values) / scale,
                *std::min_element(values.begin(), values.end()) / scale,
                *std::max_element(values.begin(), values.end()) / scale);
  return text;
}

void compareOpenPageMemory(const std::vector<velquor::adapter::Library>& libraries, int rounds,
                           const std::string& prefix, RatioTable& table) {
  for (const auto library : libraries) {
    const std::string name = velquor::adapter::moduleName(library);
    std::printf("Memory of one open page (PSS of the app and its engine's processes), %s, %d fresh processes "
                "each...\n",
                name.c_str(), rounds);
    std::fflush(stdout);
    std::vector<double> checkout, floor, checkoutApp, floorApp, processes, floorProcesses;
    for (int round = 0; round < rounds; ++round) {
      for (const bool isFloor : {round % 2 == 0, round % 2 != 0}) {
        std::vector<std::string> arguments{"--child", "open", "--library", velquor::adapter::libraryName(library)};
        if (isFloor) arguments.push_back("--floor");
        const auto report = runChild(arguments);
        (isFloor ? floor : checkout).push_back(result(report, "pss.total"));
        (isFloor ? floorApp : checkoutApp).push_back(result(report, "pss.app"));
        (isFloor ? floorProcesses : processes).push_back(result(report, "pss.processes"));
      }
    }
    std::printf("  %-15s checkout %s MB (app %s MB, %.0f processes); bare web view %s MB (app %s MB, %.0f "
                "processes); checkout / bare %.2f\n",
                name.c_str(), medianAndRange(checkout, kMB).c_str(), medianAndRange(checkoutApp, kMB).c_str(),
                median(processes), medianAndRange(floor, kMB).c_str(), medianAndRange(floorApp, kMB).c_str(),
                median(floorProcesses), median(checkout) / median(floor));
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(checkout.size(), floor.size()); ++i) ratios.push_back(checkout[i] / floor[i]);
    table.addRounds(prefix + name + " open checkout, PSS of every process / a bare web view's", ratios,
                    kOpenPageMemoryTarget);
  }
}

}  // namespace bench
