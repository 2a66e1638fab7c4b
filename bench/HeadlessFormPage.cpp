#include "HeadlessFormPage.h"

#include <velquor/headless/HeadlessToolkit.h>

#include <stdexcept>

namespace bench {

std::string headlessFormPage(velquor::adapter::CheckoutLibrary& app, const std::string& endpoint,
                             const std::string& name) {
  velquor::headless::HeadlessToolkit headless;
  const auto screen = headless.makeAppScreen();
  app.launch(screen, endpoint);
  headless.runUntilIdle();
  const auto webViews = headless.webViews();
  if (webViews.empty() || webViews.back()->loads().empty()) {
    throw std::runtime_error(name + "'s checkout loaded no page on the headless toolkit");
  }
  return webViews.back()->loads().back().html;
}

}  // namespace bench
