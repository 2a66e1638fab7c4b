#pragma once

#define VELQUORKIT_EXPORT __attribute__((visibility("default")))
