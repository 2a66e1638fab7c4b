#include "CheckoutMeasures.h"

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace bench {

namespace {

// The name the kernel gives WebKitWebProcess (15 characters at most).
constexpr std::string_view kWebProcessName = "WebKitWebProces";

std::string procFile(pid_t pid, const char* name) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
  std::string line;
  std::getline(file, line);
  return line;
}

pid_t parentOf(pid_t pid) {
  // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so read after the last ')'.
  const std::string stat = procFile(pid, "stat");
  const auto end = stat.rfind(')');
  if (end == std::string::npos || end + 4 >= stat.size()) return 0;
  return static_cast<pid_t>(std::strtol(stat.c_str() + end + 4, nullptr, 10));
}

bool descendsFrom(pid_t pid, pid_t ancestor) {
  for (pid_t current = parentOf(pid); current > 1; current = parentOf(current)) {
    if (current == ancestor) return true;
  }
  return false;
}

}  // namespace

std::size_t residentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t sizePages = 0;
  std::size_t residentPages = 0;
  statm >> sizePages >> residentPages;
  return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

ResidentParts residentParts() {
  ResidentParts parts;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    const auto kilobytes = [&line] { return std::strtoull(line.c_str() + line.find(':') + 1, nullptr, 10) * 1024; };
    if (line.rfind("RssAnon:", 0) == 0) parts.anonymous = kilobytes();
    if (line.rfind("RssFile:", 0) == 0) parts.file = kilobytes();
    if (line.rfind("RssShmem:", 0) == 0) parts.shared = kilobytes();
  }
  return parts;
}

HeapUse heapUse() {
  const auto info = mallinfo2();
  return {info.uordblks + info.hblkhd, info.arena + info.hblkhd};
}

void releaseFreeHeap() { malloc_trim(0); }

std::size_t ownWebProcessCount() {
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  const pid_t self = getpid();
  std::size_t count = 0;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
    if (pid <= 0 || procFile(pid, "comm") != kWebProcessName) continue;
    if (descendsFrom(pid, self)) ++count;
  }
  closedir(proc);
  return count;
}

}  // namespace bench
