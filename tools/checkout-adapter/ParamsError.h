#pragma once

#include <stdexcept>
#include <string>

namespace velquor::adapter {

// A parameters document the library's decoding refused, or parameters its encoding refused. The
// message names the library's own error: its kind or domain and code first, then what it says.
class ParamsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace velquor::adapter
