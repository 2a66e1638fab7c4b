#pragma once

#include <string_view>

namespace VelquorClassic {

// The library's bundle and its compiled-in storyboard, which names the checkout scene's class.
inline constexpr std::string_view kBundleIdentifier = "VelquorClassic";
inline constexpr std::string_view kStoryboardName = "Checkout";
inline constexpr std::string_view kSceneIdentifier = "VelquorViewController";
inline constexpr std::string_view kControllerClassName = "VelquorViewController";

}  // namespace VelquorClassic
