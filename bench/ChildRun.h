#pragma once

// Some figures need a fresh process (the first checkout of an app) or one of their own (resident
// size over many checkouts): the benchmark runs itself again for them and reads what it reports.

#include <map>
#include <string>
#include <vector>

namespace bench {

// Lines a measuring process writes on stdout: "result NAME VALUE" (one figure) or "note TEXT".
void reportResult(const std::string& name, double value);
void reportNote(const std::string& text);

struct ChildReport {
  std::map<std::string, double> results;
  std::vector<std::string> notes;
};

// Runs this program again with `arguments`, under the same display, and collects its report.
// Throws std::runtime_error when it cannot start or does not exit with status 0.
ChildReport runChild(const std::vector<std::string>& arguments);

}  // namespace bench
