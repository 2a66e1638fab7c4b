#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <VelquorClassic/VelquorDelegate.h>
#include <VelquorClassic/VelquorFailureDelegate.h>
#include <VelquorClassic/VelquorParams.h>
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

namespace VelquorClassic {

// The checkout screen: a web view that loads the payment form page and then the gateway's pages, a
// spinner during each navigation, the title kNavigationTitle and a Cancel button that asks before it
// tells the delegate. The launcher creates it from the library's storyboard; the delegate receives it.
class VELQUORCLASSIC_EXPORT VelquorViewController : public velquor::platform::UIViewController,
                                                   public velquor::platform::WKNavigationDelegate,
                                                   public velquor::platform::WKUIDelegate,
                                                   public velquor::platform::WKScriptMessageHandler {
 public:
  // Every property nil.
  VelquorViewController();
  ~VelquorViewController() override;

  // The parameters property; the library itself never reads or writes it.
  const std::shared_ptr<VelquorParams>& velquorParams() const { return velquorParams_; }
  void setVelquorParams(std::shared_ptr<VelquorParams> params) { velquorParams_ = std::move(params); }
  // The endpoint of the current checkout: "" once the view has loaded, then what startPayment stores.
  const std::optional<std::string>& url() const { return url_; }
  void setUrl(std::optional<std::string> url) { url_ = std::move(url); }
  const std::shared_ptr<velquor::platform::WKWebView>& velquorWebView() const { return velquorWebView_; }
  void setVelquorWebView(std::shared_ptr<velquor::platform::WKWebView> webView) { velquorWebView_ = std::move(webView); }
  const std::shared_ptr<velquor::platform::UIActivityIndicatorView>& activityIndicator() const {
    return activityIndicator_;
  }
  void setActivityIndicator(std::shared_ptr<velquor::platform::UIActivityIndicatorView> indicator) {
    activityIndicator_ = std::move(indicator);
  }
  // Held weakly: null once the app's delegate object has gone.
  std::shared_ptr<VelquorDelegate> paymentDelegate() const { return paymentDelegate_.lock(); }
  void setPaymentDelegate(std::weak_ptr<VelquorDelegate> delegate) { paymentDelegate_ = std::move(delegate); }
  // Origins whose top-level pages may post a result; set before the view loads. Empty: every
  // result message is delivered.
  const std::vector<velquor::platform::WKSecurityOrigin>& trustedOrigins() const { return trustedOrigins_; }
  void setTrustedOrigins(std::vector<velquor::platform::WKSecurityOrigin> origins) { trustedOrigins_ = std::move(origins); }

  // The root view, then configureWebView and configureActivityIndicatorView.
  void loadView() override;
  // url emptied, setNavigationTextAttributes, addLeftbarButton.
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;
  void viewDidDisappear(bool animated) override;

  void configureWebView();
  void configureActivityIndicatorView();
  void setNavigationTextAttributes();
  void addLeftbarButton();
  // The Cancel button's action: asks kAlertMessage with "No" first and "Yes" second.
  void cancelButtonClicked();

  // Called by the launcher once the presentation has finished. An empty or nil endpoint selects
  // kPaymentURL; any other is used unchanged.
  void startPayment(const std::shared_ptr<VelquorParams>& params, const std::optional<std::string>& url);
  // Loads the page for `params`, posting to url, into the web view, with no base address.
  void loadRquest(const std::shared_ptr<VelquorParams>& params);
  // The payment form page for `params` (all fields empty for null), posting to url.
  std::string getHtlmForm(const std::shared_ptr<VelquorParams>& params) const;

  bool performSelector(std::string_view selector) override;
  bool respondsToSelector(std::string_view selector) const override;

  // WKNavigationDelegate. A failed navigation does nothing (the spinner keeps its state), unless
  // the delegate is also a VelquorFailureDelegate: then it hears of it, as of an HTTP error status
  // and of the end of the web content process.
  void didStartProvisionalNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                                     const std::shared_ptr<velquor::platform::WKNavigation>& navigation) override;
  void didFinishNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                           const std::shared_ptr<velquor::platform::WKNavigation>& navigation) override;
  void didFailNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                         const std::shared_ptr<velquor::platform::WKNavigation>& navigation,
                         const velquor::platform::NSError& error) override;
  void didFailProvisionalNavigation(const std::shared_ptr<velquor::platform::WKWebView>& webView,
                                    const std::shared_ptr<velquor::platform::WKNavigation>& navigation,
                                    const velquor::platform::NSError& error) override;
  velquor::platform::WKNavigationResponsePolicy decidePolicyForNavigationResponse(
      const std::shared_ptr<velquor::platform::WKWebView>& webView,
      const velquor::platform::WKNavigationResponse& navigationResponse) override;
  void webViewWebContentProcessDidTerminate(const std::shared_ptr<velquor::platform::WKWebView>& webView) override;
  // The launcher's presentation of this checkout was refused: tells a failure delegate.
  void presentationWasRefused();
  // WKScriptMessageHandler: a message under kJavaScriptCallbackName goes to the delegate.
  void didReceiveScriptMessage(const std::shared_ptr<velquor::platform::WKUserContentController>& userContentController,
                               const velquor::platform::WKScriptMessage& message) override;

 private:
  void addScriptMessageHandler(velquor::platform::WKUserContentController& userContentController);
  void reportFailure(const std::optional<velquor::platform::WebPageFailureWatch::Failure>& failure);
  void reportFailure(VelquorCheckoutErrorCode code, velquor::platform::NSErrorUserInfo userInfo);

  std::shared_ptr<VelquorParams> velquorParams_;
  std::optional<std::string> url_;
  std::shared_ptr<velquor::platform::WKWebView> velquorWebView_;
  std::shared_ptr<velquor::platform::UIActivityIndicatorView> activityIndicator_;
  std::weak_ptr<VelquorDelegate> paymentDelegate_;
  std::vector<velquor::platform::WKSecurityOrigin> trustedOrigins_;
  velquor::platform::WebPageFailureWatch failureWatch_;
  // From the moment the app begins to dismiss the checkout, until it is shown again.
  bool dismissing_ = false;
};

}  // namespace VelquorClassic
