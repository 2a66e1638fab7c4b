#include "VelquorViewController.h"

#include "CheckoutConstants.h"
#include "PaymentFormPage.h"

#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/WKWebViewConfiguration.h>

namespace VelquorKit {

using namespace velquor::platform;

VelquorViewController::VelquorViewController() = default;
VelquorViewController::~VelquorViewController() = default;

std::shared_ptr<VelquorViewController> VelquorViewController::self() {
  return std::static_pointer_cast<VelquorViewController>(shared_from_this());
}

void VelquorViewController::loadView() {
  UIViewController::loadView();
  configureWebView();
  configureActivityIndicatorView();
}

void VelquorViewController::configureWebView() {
  auto configuration = std::make_shared<WKWebViewConfiguration>();
  auto userContentController = std::make_shared<WKUserContentController>();
  userContentController->addScriptMessageHandler(self(), std::string(kScriptMessageName));
  auto preferences = std::make_shared<WKPreferences>();
  preferences->setJavaScriptCanOpenWindowsAutomatically(true);
  configuration->setUserContentController(userContentController);
  configuration->setPreferences(preferences);
  const auto frame = view()->bounds();
  velquorWebView_ = WKWebView::initWithFrame(frame, configuration);
  velquorWebView_->setNavigationDelegate(self());
  velquorWebView_->setUIDelegate(self());
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
  auto cancel = UIBarButtonItem::initWithBarButtonSystemItem(UIBarButtonSystemItem::Cancel, self(),
                                                             std::string(kCancelSelector));
  cancel->setTintColor(UIColor::blackColor());
  navigationItem()->setLeftBarButtonItems({cancel});
}

void VelquorViewController::startPayment(const VelquorParams& params, const std::string& url) {
  url_ = url.empty() ? std::string(kDefaultPaymentURL) : url;
  const auto page = getHtmlForm(params);
  if (velquorWebView_) velquorWebView_->loadHTMLString(page, std::nullopt);
}

std::string VelquorViewController::getHtmlForm(const VelquorParams& params) const { return paymentFormPage(params, url_); }

void VelquorViewController::didStartProvisionalNavigation(const std::shared_ptr<WKWebView>&,
                                                          const std::shared_ptr<WKNavigation>&) {
  if (activityIndicator_) activityIndicator_->startAnimating();
}

void VelquorViewController::didFinishNavigation(const std::shared_ptr<WKWebView>&, const std::shared_ptr<WKNavigation>&) {
  if (activityIndicator_) activityIndicator_->stopAnimating();
}

void VelquorViewController::didReceiveScriptMessage(const std::shared_ptr<WKUserContentController>&,
                                                    const WKScriptMessage& message) {
  if (message.name() != kScriptMessageName) return;
  // Held for the call: the delegate may dismiss the checkout from inside it.
  auto delegate = delegate_;
  if (!delegate) return;
  delegate->didPaymentCompleted(self(), message.body());
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
                                                  [controller = self()](const std::shared_ptr<UIAlertAction>&) {
                                                    auto delegate = controller->delegate_;
                                                    if (delegate) delegate->didPaymentCanceled(controller);
                                                  }));
  presentViewController(alert, true, nullptr);
}

void VelquorViewController::registerScriptMessageHandler() {
  if (!velquorWebView_) return;
  auto userContentController = velquorWebView_->configuration()->userContentController();
  const std::string name(kScriptMessageName);
  if (!userContentController->scriptMessageHandlerForName(name)) userContentController->addScriptMessageHandler(self(), name);
}

void VelquorViewController::viewWillAppear(bool animated) {
  UIViewController::viewWillAppear(animated);
  // Shown again after a dismissal: messages must reach the delegate again.
  registerScriptMessageHandler();
}

void VelquorViewController::viewDidDisappear(bool animated) {
  UIViewController::viewDidDisappear(animated);
  auto navigation = navigationController();
  const bool dismissed = isBeingDismissed() || (navigation && navigation->isBeingDismissed());
  // The registration holds this controller; leaving it would keep the controller, its web view
  // and its delegate alive after the app has dismissed the checkout.
  if (dismissed && velquorWebView_) {
    velquorWebView_->configuration()->userContentController()->removeScriptMessageHandlerForName(
        std::string(kScriptMessageName));
  }
}

}  // namespace VelquorKit
