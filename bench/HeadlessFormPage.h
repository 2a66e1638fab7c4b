#pragma once

#include <CheckoutLibrary.h>

#include <memory>
#include <string>

namespace bench {

// The page `app`'s launcher loads into its web view for `endpoint`, taken by presenting the checkout
// once on the headless toolkit, installed only for this while: the toolkit current before is the
// current one again afterwards. Throws std::runtime_error when no page was loaded.
std::string headlessFormPage(velquor::adapter::CheckoutLibrary& app, const std::string& endpoint,
                             const std::string& name);

}  // namespace bench
