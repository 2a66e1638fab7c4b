#pragma once

#define VELQUOR_PLATFORM_EXPORT __attribute__((visibility("default")))
