#include "FormBody.h"

#include <algorithm>

namespace velquor::sandbox {

namespace {

int hexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string decodeComponent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out.push_back(' ');
      continue;
    }
    if (c == '%' && text.size() - i > 2) {
      const int high = hexDigitValue(text[i + 1]);
      const int low = hexDigitValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace

FormFields parseFormBody(std::string_view body) {
  FormFields fields;
  std::size_t start = 0;
  while (start <= body.size()) {
    const std::size_t end = std::min(body.find('&', start), body.size());
    const std::string_view piece = body.substr(start, end - start);
    if (!piece.empty()) {
      const std::size_t equals = piece.find('=');
      if (equals == std::string_view::npos) {
        fields.emplace_back(decodeComponent(piece), std::string());
      } else {
        fields.emplace_back(decodeComponent(piece.substr(0, equals)), decodeComponent(piece.substr(equals + 1)));
      }
    }
    start = end + 1;
  }
  return fields;
}

const std::string* lastValue(const FormFields& fields, std::string_view name) noexcept {
  const auto found = std::find_if(fields.rbegin(), fields.rend(), [name](const auto& field) { return field.first == name; });
  return found == fields.rend() ? nullptr : &found->second;
}

}  // namespace velquor::sandbox
