#include "VelquorKitVersion.h"

extern "C" {
const double VelquorKitVersionNumber = 1.0;
const unsigned char VelquorKitVersionString[] = "@(#)PROGRAM:VelquorKit  PROJECT:VelquorKit-1\n";
}
