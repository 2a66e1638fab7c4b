#pragma once

#include "VelquorBuildConfig.h"

#include <velquor/platform/StoryboardCheckout.h>
#include <velquor/platform/WebPageFailureWatch.h>

#include <string_view>

namespace VelquorKit {

// The library's bundle and its compiled-in storyboard, which names the checkout scene's class.
inline constexpr velquor::platform::StoryboardCheckout kStoryboard{
    "VelquorKit", "Checkout", "VelquorViewController", "VelquorKit.VelquorViewController"};

inline constexpr std::string_view kNavigationTitle = "Velquor";
inline constexpr std::string_view kUserAgent = "Velquor-iOS-SDK";
inline constexpr std::string_view kScriptMessageName = "paymentResponseIos";
inline constexpr std::string_view kDefaultPaymentURL = "https://" VELQUOR_PAYMENT_HOST "/v2/paymentrequest";
inline constexpr std::string_view kCancelSelector = "cancelButtonPressed";

inline constexpr std::string_view kAlertMessage = "Do you want to cancel this payment?";
inline constexpr std::string_view kAlertButtonNo = "No";
inline constexpr std::string_view kAlertButtonYes = "Yes";

// Descriptions of the errors a failure delegate is given.
inline constexpr velquor::platform::WebPageFailureWatch::Descriptions kFailureDescriptions{
    "The payment page could not be loaded", "The payment gateway answered with HTTP status ",
    "The web content process ended; the payment page is gone"};
inline constexpr std::string_view kErrorPresentationRefused = "The checkout could not be presented";

}  // namespace VelquorKit
