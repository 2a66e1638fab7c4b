#include "UIColor.h"

namespace velquor::platform {

UIColor UIColor::systemBlueColor() { return {0.0, 122.0 / 255.0, 1.0, 1.0}; }
UIColor UIColor::whiteColor() { return {1.0, 1.0, 1.0, 1.0}; }
UIColor UIColor::blackColor() { return {0.0, 0.0, 0.0, 1.0}; }
UIColor UIColor::systemRedColor() { return {1.0, 59.0 / 255.0, 48.0 / 255.0, 1.0}; }

}  // namespace velquor::platform
