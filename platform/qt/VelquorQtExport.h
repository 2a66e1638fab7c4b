#pragma once

#define VELQUOR_QT_EXPORT __attribute__((visibility("default")))
