#include "PresentedPage.h"

#include "QtToolkitState.h"

#include <velquor/platform/UINavigationController.h>

#include <QShortcut>
#include <QVBoxLayout>

namespace velquor::qt {

PresentedPage::PresentedPage(std::shared_ptr<platform::UIViewController> controller, QtToolkitState& state,
                             QWidget* window, std::function<void()> escape)
    : controller_(std::move(controller)), state_(state) {
  page_ = new QWidget(window);
  page_->hide();
  page_->setObjectName(kPageName);
  // Opaque: the app's content under it must not show through.
  page_->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(page_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  std::shared_ptr<platform::UIView> contentView;
  if (auto navigation = std::dynamic_pointer_cast<platform::UINavigationController>(controller_)) {
    bar_ = std::make_unique<NavigationBarView>(navigation, state_, page_);
    layout->addWidget(bar_->widget());
    if (auto top = navigation->topViewController()) contentView = top->view();
  } else {
    contentView = controller_->view();
  }
  if (contentView) {
    content_ = std::make_unique<ViewRenderer>(contentView, state_, true, page_);
    if (content_->widget()) layout->addWidget(content_->widget(), 1);
  }
  state_.widgets[controller_.get()] = page_;

  // Taken before the web page sees it: Qt WebEngine does not hand back an Escape the page left
  // unused when it carries its text, as a real key press does.
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), page_);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(shortcut, &QShortcut::activated, page_, [escape = std::move(escape)] { escape(); });
}

PresentedPage::~PresentedPage() {
  if (auto it = state_.widgets.find(controller_.get()); it != state_.widgets.end() && it->second == page_) {
    state_.widgets.erase(it);
  }
  // The content first: its web views leave the page before the page goes, since their peers own them.
  content_.reset();
  bar_.reset();
  delete page_;
}

}  // namespace velquor::qt
