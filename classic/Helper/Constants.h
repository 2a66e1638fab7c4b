#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <velquor/platform/NSObject.h>

namespace VelquorClassic {

// The holder of the library's shared texts; they are exported beside it, as plain C symbols.
class VELQUORCLASSIC_EXPORT Constants : public velquor::platform::NSObject {
 public:
  Constants();
  ~Constants() override;
};

}  // namespace VelquorClassic

// The texts the checkout shows and uses, immutable and alive for the whole process.
extern "C" {
VELQUORCLASSIC_EXPORT extern const char kAlertButtonNo[];           // "No"
VELQUORCLASSIC_EXPORT extern const char kAlertButtonYes[];          // "Yes"
VELQUORCLASSIC_EXPORT extern const char kAlertMessage[];            // "Do you want to cancel this payment?"
VELQUORCLASSIC_EXPORT extern const char kJavaScriptCallbackName[];  // "paymentResponseIos"
VELQUORCLASSIC_EXPORT extern const char kNavigationTitle[];         // "Velquor"
// The default payment endpoint, https://HOST/v2/paymentrequest; HOST is a build setting.
VELQUORCLASSIC_EXPORT extern const char kPaymentURL[];
VELQUORCLASSIC_EXPORT extern const char kStoryBoardName[];               // "storyBoardName"; not read by the library
VELQUORCLASSIC_EXPORT extern const char kVelquorControllerIdentifier[];  // "VelquorViewController": the checkout scene
VELQUORCLASSIC_EXPORT extern const char kUserAgent[];                    // "Velquor-iOS-SDK"
}
