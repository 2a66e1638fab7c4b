#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <velquor/platform/NSError.h>

#include <memory>

namespace VelquorClassic {

class VelquorViewController;

// The domain of the errors a checkout reports to a VelquorFailureDelegate.
inline constexpr const char* VelquorCheckoutErrorDomain = "VelquorCheckoutErrorDomain";

enum VelquorCheckoutErrorCode : long long {
  // The page could not be loaded: refused or lost connection, unknown host, timeout, an untrusted
  // TLS certificate, an address the engine refuses (a blocked port or scheme). The engine's own
  // error is under NSUnderlyingErrorKey, the address under NSURLErrorFailingURLStringErrorKey.
  VelquorCheckoutErrorPageLoadFailed = 1,
  // The gateway answered the page with an HTTP status of 400 or more (the page is still shown);
  // the status is under VelquorCheckoutErrorStatusCodeKey.
  VelquorCheckoutErrorHTTPStatus = 2,
  // The process that ran the page ended (crashed, killed, out of memory); the page is gone.
  VelquorCheckoutErrorWebContentProcessTerminated = 3,
  // The checkout could not be presented (the presenting screen is in no window, or is already
  // presenting something); nothing is shown.
  VelquorCheckoutErrorPresentationRefused = 4,
};

inline constexpr const char* VelquorCheckoutErrorStatusCodeKey = "statusCode";

// Opt-in: a VelquorDelegate that also derives from this interface hears of each failure that
// leaves the customer without a usable checkout, at most once per page load and never once the
// app has begun to dismiss the checkout. The checkout stays up (its spinner stopped; Cancel still
// works) and the app decides: dismiss it, or launch again. A delegate without it is told nothing,
// as before.
class VELQUORCLASSIC_EXPORT VelquorFailureDelegate {
 public:
  virtual ~VelquorFailureDelegate();

  virtual void didPaymentFail(const std::shared_ptr<VelquorViewController>& controller,
                              const velquor::platform::NSError& error) = 0;
};

}  // namespace VelquorClassic
