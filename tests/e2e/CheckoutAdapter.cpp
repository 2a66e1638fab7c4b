#include "CheckoutAdapter.h"

#include <stdexcept>

namespace e2e {

std::unique_ptr<CheckoutAdapter> makeCheckout(const std::string& library) {
  if (library == "kit") return makeKitCheckout();
  if (library == "classic") return makeClassicCheckout();
  throw std::invalid_argument("no library " + library);
}

}  // namespace e2e
