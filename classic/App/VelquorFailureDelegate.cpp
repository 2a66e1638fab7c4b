#include "VelquorFailureDelegate.h"

namespace VelquorClassic {

// Defined here so that the interface's type information lives in the library, once: a delegate of
// the app is recognised as one across the library boundary.
VelquorFailureDelegate::~VelquorFailureDelegate() = default;

}  // namespace VelquorClassic
