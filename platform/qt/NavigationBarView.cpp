#include "NavigationBarView.h"

#include "Colors.h"
#include "QtToolkitState.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace velquor::qt {

using platform::UIColor;

NavigationBarView::NavigationBarView(const std::shared_ptr<platform::UINavigationController>& navigation,
                                     QtToolkitState& state, QWidget* parent)
    : navigationBar_(navigation->navigationBar()), state_(state) {
  if (auto top = navigation->topViewController()) navigationItem_ = top->navigationItem();

  bar_ = new QWidget(parent);
  bar_->setObjectName(kBarName);
  bar_->setAutoFillBackground(true);
  bar_->setFixedHeight(static_cast<int>(platform::UINavigationController::kBarHeight));
  // Title and buttons share the one cell: the title is centred on the whole bar, not on what the
  // buttons leave of it.
  auto* grid = new QGridLayout(bar_);
  grid->setContentsMargins(4, 0, 4, 0);
  title_ = new QLabel();
  title_->setObjectName(kTitleName);
  title_->setAlignment(Qt::AlignCenter);
  // Large text as WCAG counts it (bold, at least 14 pt): the system blue on white passes as large text only.
  QFont bold = title_->font();
  bold.setWeight(QFont::Bold);
  bold.setPixelSize(19);
  title_->setFont(bold);
  grid->addWidget(title_, 0, 0, Qt::AlignCenter);
  auto* left = new QWidget();
  leftBox_ = new QHBoxLayout(left);
  leftBox_->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(left, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);

  if (navigationBar_) {
    state_.widgets[navigationBar_.get()] = bar_;
    barObservation_ = navigationBar_->addObserver([this](platform::NSObject&) { syncBar(); });
  }
  if (navigationItem_) itemObservation_ = navigationItem_->addObserver([this](platform::NSObject&) { syncItem(); });
  syncBar();
  syncItem();
}

NavigationBarView::~NavigationBarView() {
  barObservation_.invalidate();
  itemObservation_.invalidate();
  buttons_.clear();
  if (navigationBar_) {
    if (auto it = state_.widgets.find(navigationBar_.get()); it != state_.widgets.end() && it->second == bar_) {
      state_.widgets.erase(it);
    }
  }
  delete bar_;
}

void NavigationBarView::syncBar() {
  if (!navigationBar_ || !bar_) return;
  const auto& bar = *navigationBar_;
  bar_->setVisible(!bar.isHidden());
  setPaletteColor(bar_, QPalette::Window, bar.barTintColor() ? bar.barTintColor() : bar.backgroundColor());
  const auto& attributes = bar.titleTextAttributes();
  auto foreground = attributes.find(platform::NSForegroundColorAttributeName);
  setPaletteColor(title_, QPalette::WindowText,
                  foreground != attributes.end() ? std::optional<UIColor>(foreground->second) : std::nullopt);
  for (const auto& button : buttons_) applyButtonColor(*button);
}

void NavigationBarView::syncItem() {
  if (!bar_) return;
  title_->setText(navigationItem_ && navigationItem_->title() ? QString::fromStdString(*navigationItem_->title())
                                                              : QString());
  syncButtons();
}

void NavigationBarView::syncButtons() {
  const std::vector<std::shared_ptr<platform::UIBarButtonItem>> none;
  const auto& items = navigationItem_ ? navigationItem_->leftBarButtonItems() : none;
  const bool same = std::equal(items.begin(), items.end(), buttons_.begin(), buttons_.end(),
                               [](const auto& item, const auto& button) { return item == button->item; });
  if (same) return;
  for (const auto& button : buttons_) delete button->widget;
  buttons_.clear();
  for (const auto& item : items) {
    auto button = std::make_unique<Button>();
    button->item = item;
    button->widget = new QPushButton(QString::fromStdString(platform::titleForSystemItem(item->systemItem())));
    button->widget->setObjectName(kButtonName);
    button->widget->setFlat(true);
    button->widget->setCursor(Qt::PointingHandCursor);
    // The action may replace the bar's items, and with them this button: hold the item.
    QObject::connect(button->widget, &QPushButton::clicked, [item] { item->sendAction(); });
    auto* raw = button.get();
    button->observation = item->addObserver([this, raw](platform::NSObject&) { applyButtonColor(*raw); });
    applyButtonColor(*button);
    leftBox_->addWidget(button->widget);
    buttons_.push_back(std::move(button));
  }
}

void NavigationBarView::applyButtonColor(Button& button) {
  if (!button.widget) return;
  std::optional<UIColor> tint = button.item->tintColor();
  if (!tint && navigationBar_) tint = navigationBar_->tintColor();
  setPaletteColor(button.widget, QPalette::ButtonText, tint ? *tint : UIColor::systemBlueColor());
}

}  // namespace velquor::qt
