#include "VelquorClassic.h"

extern "C" {
const double VelquorClassicVersionNumber = 1.0;
const unsigned char VelquorClassicVersionString[] = "@(#)PROGRAM:VelquorClassic  PROJECT:VelquorKit-1\n";
}
