#pragma once

#include <velquor/platform/VelquorPlatformExport.h>

namespace velquor::platform {

// A colour as RGBA components in [0, 1]. The named colours keep the platform's values.
class VELQUOR_PLATFORM_EXPORT UIColor {
 public:
  constexpr UIColor(double red, double green, double blue, double alpha)
      : red_(red), green_(green), blue_(blue), alpha_(alpha) {}

  static UIColor systemBlueColor();  // RGB 0, 122, 255
  static UIColor whiteColor();
  static UIColor blackColor();
  static UIColor systemRedColor();  // RGB 255, 59, 48

  double red() const { return red_; }
  double green() const { return green_; }
  double blue() const { return blue_; }
  double alpha() const { return alpha_; }

  friend bool operator==(const UIColor&, const UIColor&) = default;

 private:
  double red_;
  double green_;
  double blue_;
  double alpha_;
};

}  // namespace velquor::platform
