#include "CheckoutMeasures.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace bench {

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
