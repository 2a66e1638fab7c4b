#pragma once

#include "VelquorParams.h"

#include <string>
#include <string_view>

namespace VelquorKit {

// Length of the page's fixed text: everything but the endpoint and the 38 values.
inline constexpr std::size_t kPaymentFormFixedLength = 2545;

// The page that posts `params` to `endpoint`: 48 lines, values and endpoint HTML-escaped for their
// attributes. Built in one pass into one string of the exact size.
std::string paymentFormPage(const VelquorParams& params, std::string_view endpoint);

}  // namespace VelquorKit
