#include "VelquorViewController.h"

#include "CheckoutConstants.h"
#include "PaymentFormPage.h"

#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/TrustedOrigins.h>
#include <velquor/platform/WKWebViewConfiguration.h>
#include <velquor/platform/WeakScriptMessageHandler.h>

namespace VelquorKit {

using namespace velquor::platform;

VelquorViewController::VelquorViewController() = default;
VelquorViewController::~VelquorViewController() = default;

void VelquorViewController::loadView() {
  UIViewController::loadView();
  configureWebView();
  configureActivityIndicatorView();
}

void VelquorViewController::configureWebView() {
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto userContentController = std::make_shared<WKUserContentController>();
  addScriptMessageHandler(*userContentController);
  auto preferences = std::make_shared<WKPreferences>();
  preferences->setJavaScriptCanOpenWindowsAutomatically(true);
  configuration->setUserContentController(userContentController);
  configuration->setPreferences(preferences);
  const auto frame = view()->bounds();
  velquorWebView_ = WKWebView::initWithFrame(frame, configuration);
  velquorWebView_->setNavigationDelegate(shared_from(this));
  velquorWebView_->setUIDelegate(shared_from(this));
  velquorWebView_->setCustomUserAgent(std::string(kUserAgent));
  view()->addSubview(velquorWebView_);
}

void VelquorViewController::configureActivityIndicatorView() {
  activityIndicator_ = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyle::Gray);
  activityIndicator_->setHidesWhenStopped(true);
  activityIndicator_->setTintColor(UIColor::blackColor());
  activityIndicator_->setCenter(view()->center());
  view()->addSubview(activityIndicator_);
}

void VelquorViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  setNavigationTextAttributes();
  addLeftBarButton();
}

void VelquorViewController::setNavigationTextAttributes() {
  const NSAttributedStringAttributes attributes{{NSForegroundColorAttributeName, UIColor::systemBlueColor()}};
  if (auto navigation = navigationController()) navigation->navigationBar()->setTitleTextAttributes(attributes);
  if (auto navigation = navigationController()) navigation->navigationBar()->setBarTintColor(UIColor::whiteColor());
  setTitle(std::string(kNavigationTitle));
}

void VelquorViewController::addLeftBarButton() {
  auto cancel = UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, shared_from(this),
                                                             std::string(kCancelSelector));
  cancel->setTintColor(UIColor::blackColor());
  navigationItem()->setLeftBarButtonItems({cancel});
}

void VelquorViewController::startPayment(const VelquorParams& params, const std::string& url) {
  url_ = url.empty() ? std::string(kDefaultPaymentURL) : url;
  const auto page = getHtmlForm(params);
  // The form only posts itself to the gateway; the gateway's pages are the ones that send messages.
  if (velquorWebView_) velquorWebView_->loadHTMLString(page, std::nullopt, WKDocumentScriptMessages::none);
}

std::string VelquorViewController::getHtmlForm(const VelquorParams& params) const { return paymentFormPage(params, url_); }

void VelquorViewController::didStartProvisionalNavigation(const std::shared_ptr<WKWebView>&,
                                                          const std::shared_ptr<WKNavigation>&) {
  failureWatch_.navigationStarted();
  if (activityIndicator_) activityIndicator_->startAnimating();
}

void VelquorViewController::didFinishNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&) {
  if (activityIndicator_) activityIndicator_->stopAnimating();
}

void VelquorViewController::didFailProvisionalNavigation(const std::shared_ptr<WKWebView>&,
                                                         const std::shared_ptr<WKNavigation>&, const NSError& error) {
  reportFailure(failureWatch_.navigationFailed(error));
}

void VelquorViewController::didFailNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&,
                                              const NSError& error) {
  reportFailure(failureWatch_.navigationFailed(error));
}

WKNavigationResponsePolicy VelquorViewController::decidePolicyForNavigationResponse(const std::shared_ptr<WKWebView>&,
                                                                                    const WKNavigationResponse& response) {
  reportFailure(failureWatch_.responseReceived(response));
  return WKNavigationResponsePolicy::Allow;  // the gateway's error page is still shown
}

void VelquorViewController::webViewWebContentProcessDidTerminate(const std::shared_ptr<WKWebView>&) {
  reportFailure(failureWatch_.contentProcessTerminated());
}

void VelquorViewController::presentationWasRefused() {
  reportFailure(VelquorCheckoutErrorPresentationRefused,
                {{NSLocalizedDescriptionKey, std::string(kErrorPresentationRefused)}});
}

void VelquorViewController::reportFailure(const std::optional<WebPageFailureWatch::Failure>& failure) {
  if (!failure) return;
  // The kinds are numbered as the error codes are.
  auto [code, userInfo] = WebPageFailureWatch::error(*failure, kFailureDescriptions, VelquorCheckoutErrorStatusCodeKey);
  reportFailure(static_cast<VelquorCheckoutErrorCode>(code), std::move(userInfo));
}

void VelquorViewController::reportFailure(VelquorCheckoutErrorCode code, NSErrorUserInfo userInfo) {
  // Only an app that asked hears of failures; the others see the checkout as it always was.
  auto failureDelegate = std::dynamic_pointer_cast<VelquorFailureDelegate>(delegate_);
  if (!failureDelegate || dismissing_) return;
  if (activityIndicator_) activityIndicator_->stopAnimating();
  failureDelegate->didPaymentFail(shared_from(this), NSError(VelquorCheckoutErrorDomain, code, std::move(userInfo)));
}

void VelquorViewController::didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&,
                                                    const WKScriptMessage& message) {
  if (message.name() != kScriptMessageName) return;
  if (!isFromTrustedOrigin(message, trustedOrigins_)) return;
  // Held for the call: the delegate may dismiss the checkout from inside it.
  auto delegate = delegate_;
  if (!delegate) return;
  delegate->didPaymentCompleted(shared_from(this), message.body());
}

bool VelquorViewController::respondsToSelector(std::string_view selector) const {
  return selector == kCancelSelector || UIViewController::respondsToSelector(selector);
}

bool VelquorViewController::performSelector(std::string_view selector) {
  if (selector == kCancelSelector) {
    cancelButtonPressed();
    return true;
  }
  return UIViewController::performSelector(selector);
}

void VelquorViewController::cancelButtonPressed() { showExitAlert(); }

void VelquorViewController::showExitAlert() {
  auto alert = UIAlertController::alertControllerWithTitle(std::nullopt, std::string(kAlertMessage),
                                                           UIAlertControllerStyle::Alert);
  alert->addAction(UIAlertAction::actionWithTitle(std::string(kAlertButtonNo), UIAlertActionStyle::Destructive,
                                                  [](const std::shared_ptr<UIAlertAction>&) {}));
  alert->addAction(UIAlertAction::actionWithTitle(std::string(kAlertButtonYes), UIAlertActionStyle::Default,
                                                  [controller = shared_from(this)](const std::shared_ptr<UIAlertAction>&) {
                                                    auto delegate = controller->delegate_;
                                                    if (delegate) delegate->didPaymentCanceled(controller);
                                                  }));
  presentViewController(alert, true, nullptr);
}

void VelquorViewController::addScriptMessageHandler(WKUserContentController& userContentController) {
  // Held weakly by the registration, so that no path through the web view keeps the checkout alive.
  auto handler = std::make_shared<WeakScriptMessageHandler>(shared_from(this));
  const std::string name(kScriptMessageName);
  if (trustedOrigins_.empty()) {
    userContentController.addScriptMessageHandler(std::move(handler), name);
  } else {
    // Where the page cannot reach, and told which frame posted.
    userContentController.addScriptMessageHandler(std::move(handler), WKContentWorld::defaultClientWorld(), name);
  }
}

void VelquorViewController::registerScriptMessageHandler() {
  if (!velquorWebView_) return;
  auto userContentController = velquorWebView_->configuration()->userContentController();
  if (!userContentController->scriptMessageHandlerForName(std::string(kScriptMessageName))) {
    addScriptMessageHandler(*userContentController);
  }
}

void VelquorViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  dismissing_ = false;
  // Shown again after a dismissal: messages must reach the delegate again.
  registerScriptMessageHandler();
}

void VelquorViewController::viewWillDisappear(bool animated) {
  UIViewController::viewWillDisappear(animated);
  auto navigation = navigationController();
  if (isBeingDismissed() || (navigation && navigation->isBeingDismissed())) dismissing_ = true;
}

void VelquorViewController::viewDidDisappear(bool animated) {
  UIViewController::viewDidDisappear(animated);
  auto navigation = navigationController();
  const bool dismissed = isBeingDismissed() || (navigation && navigation->isBeingDismissed());
  // A dismissed checkout hears no more of its page, whoever still holds its web view.
  if (dismissed && velquorWebView_) {
    velquorWebView_->configuration()->userContentController()->removeScriptMessageHandlerForName(
        std::string(kScriptMessageName));
  }
}

}  // namespace VelquorKit
