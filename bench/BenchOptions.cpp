#include "BenchOptions.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bench {

namespace {

using velquor::adapter::Library;

int positive(const std::string& text) {
  const int value = std::atoi(text.c_str());
  if (value < 1) throw std::invalid_argument("not a positive count: " + text);
  return value;
}

std::vector<Library> librariesFrom(const std::string& list) {
  std::vector<Library> libraries;
  std::size_t start = 0;
  while (start <= list.size()) {
    const auto end = std::min(list.find(',', start), list.size());
    const auto library = velquor::adapter::libraryNamed(list.substr(start, end - start));
    if (!library) throw std::invalid_argument("not a library: " + list.substr(start, end - start));
    libraries.push_back(*library);
    start = end + 1;
  }
  return libraries;
}

}  // namespace

BenchOptions parseBenchOptions(int argc, char** argv, BenchOptions options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--runs") {
      options.runs = positive(value());
    } else if (argument == "--memory-checkouts") {
      options.memoryCheckouts = positive(value());
    } else if (argument == "--fresh-runs") {
      options.freshRuns = positive(value());
    } else if (argument == "--pss-rounds") {
      options.pssRounds = positive(value());
    } else if (argument == "--libraries") {
      options.libraries = librariesFrom(value());
    } else if (argument == "--skip") {
      options.skipped.insert(value());
    } else if (argument == "--verbose") {
      options.verbose = true;
    } else if (argument == "--transition-ms") {
      options.transitionMs = std::atoi(value().c_str());
    } else if (argument == "--rounds") {
      options.rounds = positive(value());
    } else if (argument == "--under-slide") {
      options.underSlide = true;
    } else if (argument == "--latency-ms") {
      options.latencyMs = std::atoi(value().c_str());
      if (options.latencyMs < 0) throw std::invalid_argument("not a latency: " + std::to_string(options.latencyMs));
    } else if (argument == "--app-checkouts") {
      options.appCheckouts = positive(value());
    } else if (argument == "--child") {
      options.child = value();
    } else if (argument == "--library") {
      options.library = librariesFrom(value()).at(0);
    } else if (argument == "--prewarm") {
      options.prewarm = true;
    } else if (argument == "--floor") {
      options.floor = true;
    } else {
      throw std::invalid_argument("unknown argument: " + argument);
    }
  }
  return options;
}

}  // namespace bench
