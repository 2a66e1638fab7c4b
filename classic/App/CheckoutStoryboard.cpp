// The library's bundle: the compiled-in storyboard "Checkout" and the class registry its scene
// names, made known to the platform when the library is loaded.

#include "CheckoutStoryboard.h"

#include "VelquorViewController.h"

namespace VelquorClassic {

namespace {

[[maybe_unused]] const bool registered = (velquor::platform::registerStoryboardCheckout<VelquorViewController>(kStoryboard), true);

}  // namespace

}  // namespace VelquorClassic
