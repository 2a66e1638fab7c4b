#include "WebPageFailureWatch.h"

#include <utility>
#include <variant>

namespace velquor::platform {

namespace {
constexpr long kFirstErrorStatus = 400;
}

std::optional<WebPageFailureWatch::Failure> WebPageFailureWatch::once(Failure failure) {
  if (std::exchange(reported_, true)) return std::nullopt;
  return failure;
}

std::optional<WebPageFailureWatch::Failure> WebPageFailureWatch::navigationFailed(const NSError& error) {
  if (error.domain() == NSURLErrorDomain && error.code() == NSURLErrorCancelled) return std::nullopt;
  std::string url;
  if (auto it = error.userInfo().find(NSURLErrorFailingURLStringErrorKey); it != error.userInfo().end()) {
    if (const auto* text = std::get_if<std::string>(&it->second)) url = *text;
  }
  return once({Kind::notLoaded, std::make_shared<const NSError>(error), 0, std::move(url)});
}

std::optional<WebPageFailureWatch::Failure> WebPageFailureWatch::responseReceived(const WKNavigationResponse& response) {
  if (!response.isForMainFrame() || response.statusCode() < kFirstErrorStatus) return std::nullopt;
  return once({Kind::httpError, nullptr, response.statusCode(), response.URL()});
}

std::optional<WebPageFailureWatch::Failure> WebPageFailureWatch::contentProcessTerminated() {
  return once({Kind::contentProcessEnded, nullptr, 0, {}});
}

std::pair<long long, NSErrorUserInfo> WebPageFailureWatch::error(const Failure& failure, const Descriptions& descriptions,
                                                                 const char* statusCodeKey) {
  std::string description;
  switch (failure.kind) {
    case Kind::notLoaded:
      description = descriptions.notLoaded;
      if (failure.underlyingError) description += ": " + failure.underlyingError->localizedDescription();
      break;
    case Kind::httpError: description = std::string(descriptions.httpError) + std::to_string(failure.statusCode); break;
    case Kind::contentProcessEnded: description = descriptions.contentProcessEnded; break;
  }
  NSErrorUserInfo info;
  info[NSLocalizedDescriptionKey] = std::move(description);
  if (failure.underlyingError) info[NSUnderlyingErrorKey] = failure.underlyingError;
  if (failure.kind == Kind::httpError) info[statusCodeKey] = static_cast<long long>(failure.statusCode);
  if (!failure.url.empty()) info[NSURLErrorFailingURLStringErrorKey] = failure.url;
  return {static_cast<long long>(failure.kind), std::move(info)};
}

}  // namespace velquor::platform
