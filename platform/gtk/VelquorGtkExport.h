#pragma once

#define VELQUOR_GTK_EXPORT __attribute__((visibility("default")))
