#include "ScriptMessageBody.h"

#include <velquor/platform/JSONReading.h>
#include <velquor/platform/NSLog.h>

#include <string>
#include <utility>
#include <vector>

namespace velquor::platform {

namespace {

ScriptMessageBody dropped(const std::string& why) {
  NSLog("velquor: dropped a script message whose body " + why);
  return {false, std::nullopt};
}

ScriptMessageBody unreadable(const std::string& error) { return dropped("cannot be read: " + error); }

}  // namespace

ScriptMessageBody scriptMessageBodyFromJSONText(std::optional<std::string_view> text) {
  if (!text) return {};
  try {
    return {true, readJSON(*text)};
  } catch (const JSONReadingError& error) {
    return unreadable(error.what());
  }
}

ScriptMessageBody scriptMessageBodyWithoutJSONForm(std::string_view reason) {
  return dropped("has no JSON form: " + std::string(reason));
}

ScriptMessageBody scriptMessageBodyFromJSON(const std::optional<nlohmann::json>& value) {
  if (!value) return {};
  // Refused before writing it out: writing recurses, as reading it back would.
  if (jsonNestingDepth(*value, kMaximumJSONNestingDepth) > kMaximumJSONNestingDepth) {
    return unreadable("nesting deeper than " + std::to_string(kMaximumJSONNestingDepth) + " levels");
  }
  // Through its text, as an engine hands a value over: NaN and infinities become null.
  return scriptMessageBodyFromJSONText(value->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

std::size_t jsonNestingDepth(const nlohmann::json& value, std::size_t limit) {
  std::size_t deepest = 0;
  std::vector<std::pair<const nlohmann::json*, std::size_t>> pending{{&value, 0}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    if (!node->is_structured()) continue;
    const std::size_t inner = depth + 1;
    deepest = std::max(deepest, inner);
    if (deepest > limit) return deepest;
    for (const auto& child : *node) pending.emplace_back(&child, inner);
  }
  return deepest;
}

}  // namespace velquor::platform
