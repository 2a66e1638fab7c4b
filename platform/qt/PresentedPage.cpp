#include "PresentedPage.h"

#include "QtToolkitState.h"

#include <velquor/platform/UINavigationController.h>

#include <QKeyEvent>
#include <QVBoxLayout>

namespace velquor::qt {

namespace {

class PageWidget final : public QWidget {
 public:
  explicit PageWidget(std::function<bool()> escape) : escape_(std::move(escape)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && escape_ && escape_()) {
      event->accept();
      return;
    }
    QWidget::keyPressEvent(event);
  }

 private:
  std::function<bool()> escape_;
};

}  // namespace

PresentedPage::PresentedPage(std::shared_ptr<platform::UIViewController> controller, QtToolkitState& state,
                             std::function<bool()> escape)
    : controller_(std::move(controller)), state_(state) {
  page_ = new PageWidget(std::move(escape));
  page_->setObjectName(kPageName);
  // Opaque: the app's content under it must not show through.
  page_->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(page_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  std::shared_ptr<platform::UIView> contentView;
  if (auto navigation = std::dynamic_pointer_cast<platform::UINavigationController>(controller_)) {
    bar_ = std::make_unique<NavigationBarView>(navigation, state_);
    layout->addWidget(bar_->widget());
    if (auto top = navigation->topViewController()) contentView = top->view();
  } else {
    contentView = controller_->view();
  }
  if (contentView) {
    content_ = std::make_unique<ViewRenderer>(contentView, state_, true);
    if (content_->widget()) layout->addWidget(content_->widget(), 1);
  }
  state_.widgets[controller_.get()] = page_;
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
