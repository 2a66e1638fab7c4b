#pragma once

#include <CheckoutLibrary.h>

#include <velquor/platform/UIViewController.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velquor::tool {

// The checkout adapter as the commands call it: each failure a CommandFailure with its exit status.

// Throws CommandFailure (64) for a name that is not one of adapter::libraryNames().
std::unique_ptr<adapter::CheckoutLibrary> openLibrary(const std::string& name);
// Throws CommandFailure (65) for a document the library's decoding refuses.
void loadParams(adapter::CheckoutLibrary& library, std::string_view document);
// Throws CommandFailure (65) for parameters the library's encoding refuses.
std::string encodedParams(const adapter::CheckoutLibrary& library);
// Throws CommandFailure (64) for a trusted origin the library refuses.
void launch(adapter::CheckoutLibrary& library, const std::shared_ptr<platform::UIViewController>& screen,
            const std::optional<std::string>& endpoint);

}  // namespace velquor::tool
