#include "CheckoutLibrary.h"

namespace velquor::adapter {

CheckoutLibrary::Sink CheckoutLibrary::delegateSink() const {
  return [sink = std::weak_ptr<Sink>(sink_)](DelegateCall call) {
    if (auto target = sink.lock()) (*target)(std::move(call));
  };
}

void CheckoutLibrary::record(DelegateCall call) {
  calls.push_back(call);
  if (onCall) onCall(call);
}

std::unique_ptr<CheckoutLibrary> makeCheckoutLibrary(Library library) {
  return library == Library::kit ? makeKitCheckoutLibrary() : makeClassicCheckoutLibrary();
}

}  // namespace velquor::adapter
