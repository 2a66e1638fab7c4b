#include "WKNavigationResponse.h"

#include <utility>

namespace velquor::platform {

WKNavigationResponse::WKNavigationResponse(bool forMainFrame, long statusCode, std::string url)
    : forMainFrame_(forMainFrame), statusCode_(statusCode), url_(std::move(url)) {}

WKNavigationResponse::~WKNavigationResponse() = default;

}  // namespace velquor::platform
