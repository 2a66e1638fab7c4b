#include "ProcessTree.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace bench {

namespace {

// The parent of every process readable now.
std::multimap<pid_t, pid_t> childrenByParent() {
  std::multimap<pid_t, pid_t> children;
  DIR* proc = opendir("/proc");
  if (!proc) return children;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // "PID (COMMAND) STATE PPID ...": the command may hold spaces and parentheses.
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (rest >> state >> parent) children.emplace(parent, pid);
  }
  closedir(proc);
  return children;
}

std::string commandLine(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Arguments are NUL-separated: only a whole one matches.
bool hasArgument(const std::string& line, const std::string& argument) {
  std::size_t start = 0;
  while (start < line.size()) {
    const auto end = std::min(line.find('\0', start), line.size());
    if (line.compare(start, end - start, argument) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::vector<pid_t> descendantProcesses() {
  const auto children = childrenByParent();
  std::vector<pid_t> found;
  std::vector<pid_t> parents{getpid()};
  while (!parents.empty()) {
    const pid_t parent = parents.back();
    parents.pop_back();
    const auto [first, last] = children.equal_range(parent);
    for (auto it = first; it != last; ++it) {
      found.push_back(it->second);
      parents.push_back(it->second);
    }
  }
  return found;
}

std::size_t proportionalSetBytes(pid_t pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  for (std::string line; std::getline(rollup, line);) {
    if (line.rfind("Pss:", 0) == 0) return std::strtoull(line.c_str() + 4, nullptr, 10) * 1024;
  }
  return 0;
}

TreeMemory treeMemory() {
  TreeMemory memory;
  memory.app = proportionalSetBytes(getpid());
  memory.total = memory.app;
  memory.processes = 1;
  for (const pid_t pid : descendantProcesses()) {
    const auto bytes = proportionalSetBytes(pid);
    if (bytes == 0) continue;
    memory.total += bytes;
    ++memory.processes;
  }
  return memory;
}

std::size_t descendantsForkedBy(const std::string& argument) {
  const auto children = childrenByParent();
  std::size_t count = 0;
  std::vector<pid_t> parents{getpid()};
  while (!parents.empty()) {
    const pid_t parent = parents.back();
    parents.pop_back();
    const auto [first, last] = children.equal_range(parent);
    if (first != last && parent != getpid() && hasArgument(commandLine(parent), argument)) {
      count += static_cast<std::size_t>(std::distance(first, last));
    }
    for (auto it = first; it != last; ++it) parents.push_back(it->second);
  }
  return count;
}

}  // namespace bench
