#pragma once

#include <velquor/platform/HTMLAttributeTemplate.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace velquor::platform {

// The fixed texts of a page with one form of hidden inputs:
//   formOpen ENDPOINT formOpenEnd
//   inputOpen VALUE" name="NAME"/> inputEnd      (once per field, some spaces before name=)
//   tail
struct HiddenFormTexts {
  std::string_view formOpen;
  std::string_view formOpenEnd;
  std::string_view inputOpen;
  std::string_view inputEnd;
  std::string_view tail;
};

struct HiddenFormField {
  std::string_view name;
  int spaces;  // between the value's closing quote and name=
};

// Such a page for N fields in a fixed order, laid out once; filling it inserts the endpoint and the
// values escaped for their attributes, in one pass into one string of the exact size.
template <std::size_t N>
class HiddenFormPage {
 public:
  HiddenFormPage(const HiddenFormTexts& texts, const std::array<HiddenFormField, N>& fields)
      : template_([&](std::size_t i, std::string& text) {
          if (i == 0) {
            text.append(texts.formOpen);
            return;
          }
          if (i == 1) text.append(texts.formOpenEnd);
          if (i >= 2) {
            const auto& field = fields[i - 2];
            text.append(1, '"').append(static_cast<std::size_t>(field.spaces), ' ');
            text.append("name=\"").append(field.name).append("\"/>").append(texts.inputEnd);
          }
          text.append(i <= N ? texts.inputOpen : texts.tail);
        }) {}

  std::string fill(std::string_view endpoint, const std::array<std::string_view, N>& values) const {
    std::array<std::string_view, N + 1> insertions;
    insertions[0] = endpoint;
    for (std::size_t i = 0; i < N; ++i) insertions[i + 1] = values[i];
    return template_.fill(insertions);
  }

 private:
  HTMLAttributeTemplate<N + 1> template_;
};

}  // namespace velquor::platform
