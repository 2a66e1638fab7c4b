#pragma once

#include <VelquorKit/VelquorKitExport.h>

extern "C" {
VELQUORKIT_EXPORT extern const double VelquorKitVersionNumber;
VELQUORKIT_EXPORT extern const unsigned char VelquorKitVersionString[];
}
