#include "Constants.h"

#include "VelquorBuildConfig.h"

namespace VelquorClassic {

Constants::Constants() = default;
Constants::~Constants() = default;

}  // namespace VelquorClassic

extern "C" {
const char kAlertButtonNo[] = "No";
const char kAlertButtonYes[] = "Yes";
const char kAlertMessage[] = "Do you want to cancel this payment?";
const char kJavaScriptCallbackName[] = "paymentResponseIos";
const char kNavigationTitle[] = "Velquor";
const char kPaymentURL[] = "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest";
const char kStoryBoardName[] = "storyBoardName";
const char kVelquorControllerIdentifier[] = "VelquorViewController";
const char kUserAgent[] = "Velquor-iOS-SDK";
}
