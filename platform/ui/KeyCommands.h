#pragma once

// Keys every toolkit treats the same way, as the platform's hardware keyboard does.

#include <velquor/platform/UIViewController.h>

#include <memory>

namespace velquor::platform {

// Escape pressed while `frontmost` is the frontmost controller of a window. An alert takes it as a
// tap on its Cancel-style action; a screen (or a navigation container's top screen) as a tap on the
// first Cancel item of its bar, so the checkout asks as its Cancel button does. True when a tap was
// made; an alert without a Cancel-style action stays up, a screen without a Cancel item ignores it.
VELQUOR_PLATFORM_EXPORT bool escapeKeyCommand(const std::shared_ptr<UIViewController>& frontmost);

}  // namespace velquor::platform
