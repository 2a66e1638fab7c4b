// The library's bundle: the compiled-in storyboard "Checkout" and the class registry its scene
// names, made known to the platform when the library is loaded.

#include "CheckoutConstants.h"
#include "VelquorViewController.h"

namespace VelquorKit {

namespace {

[[maybe_unused]] const bool registered = (velquor::platform::registerStoryboardCheckout<VelquorViewController>(kStoryboard), true);

}  // namespace

}  // namespace VelquorKit
