#include "Toolkit.h"

#include <algorithm>
#include <vector>

namespace velquor::platform {

namespace {
std::vector<Toolkit*>& installed() {
  static std::vector<Toolkit*> stack;
  return stack;
}
}  // namespace

Toolkit::Toolkit() { installed().push_back(this); }

Toolkit::~Toolkit() { std::erase(installed(), this); }

Toolkit* Toolkit::current() noexcept { return installed().empty() ? nullptr : installed().back(); }

CGRect currentScreenBounds() {
  if (auto* toolkit = Toolkit::current()) return toolkit->screenBounds();
  return CGRectMake(0, 0, 390, 844);
}

}  // namespace velquor::platform
