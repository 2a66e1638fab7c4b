#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velquor::tool {

struct CheckoutSessionOptions {
  std::string toolkit = "gtk";
  std::string library = "kit";
  std::optional<std::string> endpoint;  // none: the library's default endpoint
  std::string paramsDocument;
  std::optional<std::string> screenshotPath;
  std::chrono::seconds timeout{120};
  // The app implements the library's failure delegate: each report prints a "failed" line, and the
  // checkout is dismissed with exit status 2.
  bool reportFailures = false;
  std::vector<std::string> trustedOrigins;
  // The toolkit starts the payment while the checkout slides in.
  bool loadUnderSlide = false;
  // The toolkit's engine process is started first, and the checkout launched once it is up (as in an
  // app that prewarmed at start-up).
  bool prewarm = false;
};

// One real checkout in a window of the named toolkit (gtk or qt), run as an app runs it: the
// library's launcher presents it, each delegate call prints one JSON line on stdout, and after the
// first one the checkout is dismissed. Returns the exit status: 0 after a result or a cancellation, 2 after a failure report,
// 1 on timeout. Throws CommandFailure when the toolkit is not in this build, there is no display,
// the parameters do not decode or a trusted origin is not one.
int runCheckoutSession(const CheckoutSessionOptions& options);

}  // namespace velquor::tool
