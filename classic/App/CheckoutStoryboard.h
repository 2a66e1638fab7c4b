#pragma once

#include "Constants.h"

#include <velquor/platform/StoryboardCheckout.h>

namespace VelquorClassic {

// The library's bundle and its compiled-in storyboard, which names the checkout scene's class. The
// scene is the one the exported identifier names.
inline const velquor::platform::StoryboardCheckout kStoryboard{"VelquorClassic", "Checkout", kVelquorControllerIdentifier,
                                                               "VelquorViewController"};

}  // namespace VelquorClassic
