#pragma once

#define VELQUORCLASSIC_EXPORT __attribute__((visibility("default")))
