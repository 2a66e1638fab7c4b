#include "BlockedLoad.h"

#include "extension/BlockedLoadMessage.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace velquor::gtk {

namespace {
// Beside libVelquorGtk.so; the build puts the extension there too.
constexpr const char* kExtensionSubdirectory = "velquor/webkit-extensions";
}

std::optional<platform::NSError> blockedLoadFromMessage(WebKitUserMessage* message) {
  if (message == nullptr || std::string_view(webkit_user_message_get_name(message)) != kBlockedLoadMessageName) {
    return std::nullopt;
  }
  GVariant* parameters = webkit_user_message_get_parameters(message);
  if (parameters == nullptr || !g_variant_is_of_type(parameters, G_VARIANT_TYPE_STRING)) return std::nullopt;
  const std::string text = g_variant_get_string(parameters, nullptr);
  for (const auto& kind : kBlockedLoadKinds) {
    if (!std::string_view(text).starts_with(kind.consolePrefix)) continue;
    // "...port 1: http://127.0.0.1:1/" or "...resource: file:///x": the address ends the text.
    std::string url = text.substr(kind.consolePrefix.size());
    if (const auto colon = url.find(": "); kind.policyErrorCode == 103 && colon != std::string::npos) url.erase(0, colon + 2);
    return platform::NSError(g_quark_to_string(WEBKIT_POLICY_ERROR), kind.policyErrorCode,
                             {{platform::NSLocalizedDescriptionKey, text},
                              {platform::NSURLErrorFailingURLStringErrorKey, url}});
  }
  return std::nullopt;
}

std::string webProcessExtensionDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&webProcessExtensionDirectory), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  std::error_code error;
  const auto library = std::filesystem::canonical(info.dli_fname, error);
  if (error) return {};
  const auto directory = library.parent_path() / kExtensionSubdirectory;
  return std::filesystem::is_directory(directory, error) ? directory.string() : std::string();
}

}  // namespace velquor::gtk
