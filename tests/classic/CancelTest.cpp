#include "ClassicTestSupport.h"

#include <CancelCases.h>

namespace {

struct Classic {
  using Checkout = classic_test::Checkout;
  using Delegate = classic_test::RecordingDelegate;
  static void start(Checkout& checkout) { checkout.start(); }
  static void setDelegate(Checkout& checkout, std::shared_ptr<Delegate> delegate) {
    checkout.controller()->setPaymentDelegate(std::move(delegate));
  }
  static std::shared_ptr<velquor::platform::UIViewController> canceledBy(const Delegate& delegate) {
    return delegate.canceledBy;
  }
};

}  // namespace

namespace velquor_testing {
INSTANTIATE_TYPED_TEST_SUITE_P(VelquorClassic, Cancel, Classic);
}
