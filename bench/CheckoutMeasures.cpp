#include "CheckoutMeasures.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace bench {

double processCpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& time) { return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

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

}  // namespace bench
