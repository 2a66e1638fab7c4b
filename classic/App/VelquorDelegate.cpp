#include "VelquorDelegate.h"

namespace VelquorClassic {

// Defined here so that the interface's type information lives in the library, once.
VelquorDelegate::~VelquorDelegate() = default;

}  // namespace VelquorClassic
