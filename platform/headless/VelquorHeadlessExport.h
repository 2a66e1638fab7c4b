#pragma once

#define VELQUOR_HEADLESS_EXPORT __attribute__((visibility("default")))
