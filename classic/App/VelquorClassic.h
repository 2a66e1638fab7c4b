#pragma once

// The whole public interface of VelquorClassic.

#include <VelquorClassic/Constants.h>
#include <VelquorClassic/StringFunctions.h>
#include <VelquorClassic/Velquor.h>
#include <VelquorClassic/VelquorClassicExport.h>
#include <VelquorClassic/VelquorCheckoutOptions.h>
#include <VelquorClassic/VelquorDelegate.h>
#include <VelquorClassic/VelquorFailureDelegate.h>
#include <VelquorClassic/VelquorParams.h>
#include <VelquorClassic/VelquorParamsJSON.h>
#include <VelquorClassic/VelquorViewController.h>

extern "C" {
// 1.0
VELQUORCLASSIC_EXPORT extern const double VelquorClassicVersionNumber;
// "@(#)PROGRAM:VelquorClassic  PROJECT:VelquorKit-1" and a line feed.
VELQUORCLASSIC_EXPORT extern const unsigned char VelquorClassicVersionString[];
}
