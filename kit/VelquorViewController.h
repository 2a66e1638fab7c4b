#pragma once

#include "VelquorDelegate.h"
#include "VelquorFailureDelegate.h"
#include "VelquorParams.h"

#include <velquor/platform/UIActivityIndicatorView.h>
#include <velquor/platform/UIViewController.h>
#include <velquor/platform/WKNavigationDelegate.h>
#include <velquor/platform/WKScriptMessageHandler.h>
#include <velquor/platform/WKUIDelegate.h>
#include <velquor/platform/WKWebView.h>
#include <velquor/platform/WebPageFailureWatch.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace VelquorKit {

// The checkout screen: a web view that loads the payment form page and then the gateway's pages,
// a spinner during each navigation, the "Velquor" title and a Cancel button. Internal to the
// library: apps meet it only as the controller their delegate receives.
class VelquorViewController final : public velquor::platform::UIViewController,
                                    public velquor::platform::WKNavigationDelegate,
                                    public velquor::platform::WKUIDelegate,
                                    public velquor::platform::WKScriptMessageHandler {
 public:
  // Every property at its initial value; the storyboard scene makes controllers through this too.
  VelquorViewController();
  ~VelquorViewController() override;

  void loadView() override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  void viewDidDisappear(bool animated) override;

  // Called once by the launcher when the presentation has finished.
  void startPayment(const VelquorParams& params, const std::string& url);
  void cancelButtonPressed();

  bool performSelector(std::string_view selector) override;
  bool respondsToSelector(std::string_view selector) const override;

  // WKNavigationDelegate
  void didStartProvisionalNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                                     const std::shared_ptr<velquor::platform::WKNavigation>& navigation) override;
  void didFinishNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                           const std::shared_ptr<velquor::platform::WKNavigation>& navigation) override;
  // Failures: heard only by a delegate that is also a VelquorFailureDelegate.
  void didFailProvisionalNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                                    const std::shared_ptr<velquor::platform::WKNavigation>& navigation,
                                    const velquor::platform::NSError& error) override;
  void didFailNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                         const std::shared_ptr<velquor::platform::WKNavigation>& navigation,
                         const velquor::platform::NSError& error) override;
  velquor::platform::WKNavigationResponsePolicy decidePolicyForNavigationResponse(
      const std::shared_ptr<velquor::platform::WKWebView>& webView,
      const velquor::platform::WKNavigationResponse& navigationResponse) override;
  void webViewWebContentProcessDidTerminate(const std::shared_ptr<velquor::platform::WKWebView>& webView) override;
  // WKScriptMessageHandler
  void didReceiveScriptMessage(const std::shared_ptr<velquor::platform::WKUserContentController>& userContentController,
                               const velquor::platform::WKScriptMessage& message) override;

  // Library-internal properties.
  const std::string& url() const { return url_; }
  const std::shared_ptr<VelquorDelegate>& delegate() const { return delegate_; }
  void setDelegate(std::shared_ptr<VelquorDelegate> delegate) { delegate_ = std::move(delegate); }
  // Set by the launcher before the view loads. Empty: every result message is delivered.
  const std::vector<velquor::platform::WKSecurityOrigin>& trustedOrigins() const { return trustedOrigins_; }
  void setTrustedOrigins(std::vector<velquor::platform::WKSecurityOrigin> origins) { trustedOrigins_ = std::move(origins); }
  // The launcher's presentation of this checkout was refused: tells a failure delegate.
  void presentationWasRefused();
  // Private on the platform; readable here for the library's own tests.
  const std::shared_ptr<velquor::platform::WKWebView>& velquorWebView() const { return velquorWebView_; }
  const std::shared_ptr<velquor::platform::UIActivityIndicatorView>& activityIndicator() const {
    return activityIndicator_;
  }

 private:
  void configureWebView();
  void configureActivityIndicatorView();
  void setNavigationTextAttributes();
  void addLeftBarButton();
  void showExitAlert();
  std::string getHtmlForm(const VelquorParams& params) const;
  void addScriptMessageHandler(velquor::platform::WKUserContentController& userContentController);
  void registerScriptMessageHandler();
  void reportFailure(const std::optional<velquor::platform::WebPageFailureWatch::Failure>& failure);
  void reportFailure(VelquorCheckoutErrorCode code, velquor::platform::NSErrorUserInfo userInfo);

  std::shared_ptr<velquor::platform::WKWebView> velquorWebView_;
  std::shared_ptr<velquor::platform::UIActivityIndicatorView> activityIndicator_;
  std::string url_;
  std::shared_ptr<VelquorDelegate> delegate_;
  std::vector<velquor::platform::WKSecurityOrigin> trustedOrigins_;
  velquor::platform::WebPageFailureWatch failureWatch_;
  // From the moment the app begins to dismiss the checkout, until it is shown again.
  bool dismissing_ = false;
};

}  // namespace VelquorKit
