#include "KitTestSupport.h"

#include <CancelCases.h>

namespace {

struct Kit {
  using Checkout = kit_test::Checkout;
  using Delegate = kit_test::RecordingDelegate;
  static void start(Checkout& checkout) {
    checkout.launch();
    checkout.toolkit.runUntilIdle();
  }
  static void setDelegate(Checkout& checkout, std::shared_ptr<Delegate> delegate) {
    checkout.controller()->setDelegate(std::move(delegate));
  }
  static std::shared_ptr<velquor::platform::UIViewController> canceledBy(const Delegate& delegate) {
    return delegate.canceledBy.lock();
  }
};

}  // namespace

namespace velquor_testing {
INSTANTIATE_TYPED_TEST_SUITE_P(VelquorKit, Cancel, Kit);
}
