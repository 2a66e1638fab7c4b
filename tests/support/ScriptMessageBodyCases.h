#pragma once

// One table of script-message bodies, run on every toolkit: what page script posts, what reaches
// the handler, and what is logged. A toolkit's test plays each row its own way (the real engine
// evaluates `script`; the in-memory one posts `headless`) and must give exactly `expected`.

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velquor_testing {

// `levels` arrays, one inside the other, around 0.
inline nlohmann::json nestedArrays(std::size_t levels) {
  nlohmann::json value = 0;
  for (std::size_t level = 0; level < levels; ++level) value = nlohmann::json::array({std::move(value)});
  return value;
}

struct ScriptMessageBodyCase {
  const char* name;
  // A JavaScript expression for the posted value.
  std::string script;
  // What an in-memory engine posts for it.
  enum class Posted { value, undefined, cyclic } posted = Posted::value;
  std::function<nlohmann::json()> headless;
  // The body the handler receives (nil for undefined), or nothing when the message is dropped.
  struct Delivery {
    std::optional<nlohmann::json> body;
  };
  std::optional<Delivery> expected;
  // The start of the one warning logged for it; empty: none.
  std::string warning;
};

inline void PrintTo(const ScriptMessageBodyCase& testCase, std::ostream* out) { *out << testCase.name; }

inline constexpr const char* kUnreadableBodyWarning = "velquor: dropped a script message whose body cannot be read:";
inline constexpr const char* kNoJSONFormWarning = "velquor: dropped a script message whose body has no JSON form:";

inline std::vector<ScriptMessageBodyCase> scriptMessageBodyCases() {
  using Case = ScriptMessageBodyCase;
  using nlohmann::json;
  const std::string huge(10u << 20, 'h');
  return {
      {"Undefined", "undefined", Case::Posted::undefined, nullptr, Case::Delivery{std::nullopt}, ""},
      {"Null", "null", Case::Posted::value, [] { return json(nullptr); }, Case::Delivery{json(nullptr)}, ""},
      {"Numbers", "[0, -0, 1.5, -7, 1e308, 2 ** 53, NaN, Infinity]", Case::Posted::value,
       [] {
         return json::array({0, -0.0, 1.5, -7, 1e308, 9007199254740992.0, std::nan(""), INFINITY});
       },
       Case::Delivery{json::array({0, 0, 1.5, -7, 1e308, 9007199254740992LL, nullptr, nullptr})}, ""},
      {"ObjectWithTexts", R"({"status": "success", "amount": "249.00", "note": "Zoë \u2615 \"quoted\" <b>&amp;"})",
       Case::Posted::value,
       [] { return json{{"status", "success"}, {"amount", "249.00"}, {"note", "Zoë ☕ \"quoted\" <b>&amp;"}}; },
       Case::Delivery{json{{"status", "success"}, {"amount", "249.00"}, {"note", "Zoë ☕ \"quoted\" <b>&amp;"}}}, ""},
      {"NestedToTheLimit", "(() => { let v = 0; for (let i = 0; i < 512; i++) v = [v]; return v; })()",
       Case::Posted::value, [] { return nestedArrays(512); }, Case::Delivery{nestedArrays(512)}, ""},
      {"NestedOneLevelTooDeep", "(() => { let v = 0; for (let i = 0; i < 513; i++) v = [v]; return v; })()",
       Case::Posted::value, [] { return nestedArrays(513); }, std::nullopt, kUnreadableBodyWarning},
      {"Cyclic", "(() => { const v = {status: 'success'}; v.self = v; return v; })()", Case::Posted::cyclic, nullptr,
       std::nullopt, kNoJSONFormWarning},
      {"Huge", "'h'.repeat(10 * 1024 * 1024)", Case::Posted::value, [huge] { return json(huge); },
       Case::Delivery{json(huge)}, ""},
      // The engine itself gives up on this one: the message never leaves the page, so nothing can
      // tell of it.
      {"NestedAHundredThousandDeep", "(() => { let v = 0; for (let i = 0; i < 100000; i++) v = [v]; return v; })()",
       Case::Posted::value, [] { return nestedArrays(100000); }, std::nullopt, ""},
  };
}

// What a toolkit delivered and logged for `row`, checked against the table. Frame information comes
// only with a handler in a client world.
template <typename FrameInfo>
void expectScriptMessageOutcome(const ScriptMessageBodyCase& row, bool clientWorld,
                                const std::vector<std::optional<nlohmann::json>>& bodies,
                                const std::vector<std::optional<FrameInfo>>& frames, const std::vector<std::string>& warnings) {
  if (row.expected) {
    ASSERT_EQ(bodies.size(), 1u);
    EXPECT_TRUE(bodies[0] == row.expected->body);
    EXPECT_EQ(frames.at(0).has_value(), clientWorld) << "frame information only in a client world";
  } else {
    EXPECT_TRUE(bodies.empty());
  }
  if (row.warning.empty()) {
    EXPECT_TRUE(warnings.empty()) << warnings.front();
  } else {
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].starts_with(row.warning)) << warnings[0];
  }
}

}  // namespace velquor_testing
