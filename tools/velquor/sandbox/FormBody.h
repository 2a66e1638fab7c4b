#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velquor::sandbox {

// The name-value pairs of a form post, in the order they were posted; a name may repeat.
using FormFields = std::vector<std::pair<std::string, std::string>>;

// Parses an application/x-www-form-urlencoded body the way browsers do: pairs are separated by
// '&' (empty pieces are skipped), the first '=' separates name from value (no '=': empty value),
// '+' is a space and "%XX" with two hex digits is that byte. A '%' not followed by two hex digits
// is kept literally rather than refused, as browsers and the URL standard do. The decoded bytes are
// kept as they are (no UTF-8 check), so a caller sees exactly what was posted. Total: any bytes
// give a result.
FormFields parseFormBody(std::string_view body);

// The value of the last pair named `name` (as a form handler that keeps one value per name would
// see it), or nullptr when no pair has that name.
const std::string* lastValue(const FormFields& fields, std::string_view name) noexcept;

}  // namespace velquor::sandbox
