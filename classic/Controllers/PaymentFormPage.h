#pragma once

#include <VelquorClassic/VelquorParams.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace VelquorClassic {

// The page that posts the 38 fields of `params` (all empty for null) to `endpoint`: two lines,
// values and endpoint HTML-escaped for their attributes, a value that is not text written as its
// compact JSON text. Built in one pass into one string of the exact size.
std::string paymentFormPage(const VelquorParams* params, std::string_view endpoint);

}  // namespace VelquorClassic
