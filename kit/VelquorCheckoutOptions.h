#pragma once

#include <string>
#include <vector>

namespace VelquorKit {

// What an app may switch on beyond the checkout's own behaviour, per launch.
struct VelquorCheckoutOptions {
  // Origins ("scheme://host[:port]", e.g. "https://pay.velquor.com") whose pages may post a
  // result. With any, a "paymentResponseIos" message reaches the delegate only when the top-level
  // document posted it while at one of them; messages from frames and from other origins are
  // dropped with a warning. Empty: every message is delivered.
  std::vector<std::string> trustedOrigins;
};

}  // namespace VelquorKit
