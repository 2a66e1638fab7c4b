#pragma once

// The processes an app's web views run in are its descendants (WebKit's web and network processes;
// Qt WebEngine's zygotes, renderers and utility processes): what they weigh together, and how many
// of a kind run.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// This process's descendants, children first (read from /proc).
std::vector<pid_t> descendantProcesses();

// Proportional set size of `pid` in bytes (/proc/PID/smaps_rollup): its private pages and its
// share of the pages it shares, so that the sizes of processes sharing pages add up. Zero for a
// process that has gone.
std::size_t proportionalSetBytes(pid_t pid);

// The proportional set size of this process and all its descendants.
struct TreeMemory {
  std::size_t total = 0;
  std::size_t app = 0;
  std::size_t processes = 0;  // how many, this one included
};
TreeMemory treeMemory();

// Descendants whose parent's command line holds `argument`: with "--type=zygote", Chromium's
// renderers (forked by its zygote, they keep its command line).
std::size_t descendantsForkedBy(const std::string& argument);

}  // namespace bench
