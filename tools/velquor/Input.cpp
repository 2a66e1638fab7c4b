#include "Input.h"

#include "CommandFailure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace velquor::tool {

std::string singleLine(std::string text) {
  for (auto& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return text;
}

std::string readInput(const std::string& path) {
  const bool fromStdin = path == "-";
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fromStdin ? stdin : std::fopen(path.c_str(), "rb"),
                                                       fromStdin ? [](std::FILE*) { return 0; } : &std::fclose);
  if (!file) throw CommandFailure(kExitNoInput, "cannot open " + path + ": " + std::strerror(errno));
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const auto count = std::fread(buffer, 1, sizeof buffer, file.get());
    if (count > 0) {
      if (bytes.size() + count > kMaximumInputBytes) {
        throw CommandFailure(kExitDataError, path + " is larger than " + std::to_string(kMaximumInputBytes >> 20) + " MiB");
      }
      bytes.append(buffer, count);
    }
    if (count < sizeof buffer) break;
  }
  if (std::ferror(file.get())) throw CommandFailure(kExitNoInput, "cannot read " + path);
  return bytes;
}

}  // namespace velquor::tool
