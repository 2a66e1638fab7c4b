#pragma once

#include <velquor/platform/NSError.h>
#include <velquor/platform/VelquorPlatformExport.h>
#include <velquor/platform/WKNavigationResponse.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace velquor::platform {

// Picks, from a web view's navigation events, those that leave its user without a usable page,
// at most one per page load: for a screen that tells its app when a page fails.
class VELQUOR_PLATFORM_EXPORT WebPageFailureWatch {
 public:
  enum class Kind {
    notLoaded = 1,            // the load failed: no connection, unknown host, TLS, a refused address...
    httpError = 2,            // the main frame's response has a status of 400 or more
    contentProcessEnded = 3,  // the process that ran the page is gone
  };
  struct Failure {
    Kind kind;
    std::shared_ptr<const NSError> underlyingError;  // notLoaded: the engine's error
    long statusCode = 0;                              // httpError
    std::string url;                                  // the address that failed, when known
  };

  // A navigation started: a new page load, which may fail in its turn.
  void navigationStarted() { reported_ = false; }
  // A cancelled navigation (another one took its place) is no failure.
  std::optional<Failure> navigationFailed(const NSError& error);
  std::optional<Failure> responseReceived(const WKNavigationResponse& response);
  std::optional<Failure> contentProcessTerminated();

  // A screen's own words for each kind of failure.
  struct Descriptions {
    std::string_view notLoaded;            // followed by ": " and the engine's description
    std::string_view httpError;            // followed by the status
    std::string_view contentProcessEnded;
  };
  // The code (the kind's number) and the user info of an error reporting `failure`: its
  // description, the engine's error under NSUnderlyingErrorKey, the status under `statusCodeKey`,
  // the address under NSURLErrorFailingURLStringErrorKey, each when there is one.
  static std::pair<long long, NSErrorUserInfo> error(const Failure& failure, const Descriptions& descriptions,
                                                     const char* statusCodeKey);

 private:
  std::optional<Failure> once(Failure failure);
  bool reported_ = false;
};

}  // namespace velquor::platform
