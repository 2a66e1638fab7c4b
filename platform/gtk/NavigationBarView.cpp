#include "NavigationBarView.h"

#include "GtkToolkitState.h"

#include <algorithm>

namespace velquor::gtk {

using platform::UIColor;

NavigationBarView::NavigationBarView(const std::shared_ptr<platform::UINavigationController>& navigation,
                                     GtkToolkitState& state)
    : navigationBar_(navigation->navigationBar()), state_(state) {
  if (auto top = navigation->topViewController()) navigationItem_ = top->navigationItem();

  bar_ = GObjectRef<GtkWidget>::retain(gtk_center_box_new());
  gtk_widget_add_css_class(bar_.get(), "velquor-navigation-bar");
  gtk_widget_set_size_request(bar_.get(), -1, static_cast<int>(platform::UINavigationController::kBarHeight));
  gtk_widget_set_hexpand(bar_.get(), TRUE);

  leftBox_ = GObjectRef<GtkWidget>::retain(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0));
  gtk_widget_set_margin_start(leftBox_.get(), 4);
  gtk_center_box_set_start_widget(GTK_CENTER_BOX(bar_.get()), leftBox_.get());

  title_ = GObjectRef<GtkWidget>::retain(gtk_label_new(nullptr));
  gtk_widget_set_name(title_.get(), kTitleName);
  gtk_label_set_ellipsize(GTK_LABEL(title_.get()), PANGO_ELLIPSIZE_END);
  // Bold at 19 px is large text for WCAG, for which the system blue on white (4.02:1) is enough.
  PangoAttrList* large = pango_attr_list_new();
  pango_attr_list_insert(large, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  pango_attr_list_insert(large, pango_attr_size_new_absolute(kTitlePixelSize * PANGO_SCALE));
  gtk_label_set_attributes(GTK_LABEL(title_.get()), large);
  pango_attr_list_unref(large);
  gtk_center_box_set_center_widget(GTK_CENTER_BOX(bar_.get()), title_.get());

  if (navigationBar_) {
    state_.widgets[navigationBar_.get()] = bar_.get();
    barObservation_ = navigationBar_->addObserver([this](platform::NSObject&) { syncBar(); });
  }
  if (navigationItem_) itemObservation_ = navigationItem_->addObserver([this](platform::NSObject&) { syncItem(); });
  syncBar();
  syncItem();
}

NavigationBarView::~NavigationBarView() {
  barObservation_.invalidate();
  itemObservation_.invalidate();
  for (const auto& button : buttons_) g_signal_handlers_disconnect_by_data(button->widget.get(), button.get());
  if (navigationBar_) {
    if (auto it = state_.widgets.find(navigationBar_.get()); it != state_.widgets.end() && it->second == bar_.get()) {
      state_.widgets.erase(it);
    }
  }
}

void NavigationBarView::syncBar() {
  if (!navigationBar_) return;
  const auto& bar = *navigationBar_;
  gtk_widget_set_visible(bar_.get(), !bar.isHidden());
  state_.colors.setBackground(bar_.get(), bar.barTintColor() ? bar.barTintColor() : bar.backgroundColor());
  const auto& attributes = bar.titleTextAttributes();
  auto foreground = attributes.find(platform::NSForegroundColorAttributeName);
  state_.colors.setForeground(title_.get(), foreground != attributes.end() ? std::optional<UIColor>(foreground->second)
                                                                           : std::nullopt);
  for (const auto& button : buttons_) applyButtonColor(*button);
}

void NavigationBarView::syncItem() {
  gtk_label_set_text(GTK_LABEL(title_.get()),
                     navigationItem_ && navigationItem_->title() ? navigationItem_->title()->c_str() : "");
  syncButtons();
}

void NavigationBarView::syncButtons() {
  const std::vector<std::shared_ptr<platform::UIBarButtonItem>> none;
  const auto& items = navigationItem_ ? navigationItem_->leftBarButtonItems() : none;
  const bool same = std::equal(items.begin(), items.end(), buttons_.begin(), buttons_.end(),
                               [](const auto& item, const auto& button) { return item == button->item; });
  if (same) return;
  for (const auto& button : buttons_) {
    g_signal_handlers_disconnect_by_data(button->widget.get(), button.get());
    gtk_box_remove(GTK_BOX(leftBox_.get()), button->widget.get());
  }
  buttons_.clear();
  for (const auto& item : items) {
    auto button = std::make_unique<Button>();
    button->owner = this;
    button->item = item;
    const auto label = platform::titleForSystemItem(item->systemItem());
    button->widget = GObjectRef<GtkWidget>::retain(gtk_button_new_with_label(label.c_str()));
    gtk_widget_set_name(button->widget.get(), kButtonName);
    gtk_widget_add_css_class(button->widget.get(), "flat");
    gtk_widget_set_valign(button->widget.get(), GTK_ALIGN_CENTER);
    g_signal_connect(button->widget.get(), "clicked", G_CALLBACK(clicked), button.get());
    auto* raw = button.get();
    button->observation = item->addObserver([this, raw](platform::NSObject&) { applyButtonColor(*raw); });
    applyButtonColor(*button);
    gtk_box_append(GTK_BOX(leftBox_.get()), button->widget.get());
    buttons_.push_back(std::move(button));
  }
}

void NavigationBarView::applyButtonColor(Button& button) {
  std::optional<UIColor> tint = button.item->tintColor();
  if (!tint && navigationBar_) tint = navigationBar_->tintColor();
  state_.colors.setForeground(button.widget.get(), tint ? *tint : UIColor::systemBlueColor());
}

void NavigationBarView::clicked(GtkButton*, gpointer data) {
  // The action may replace the bar's items, and with them this button: hold the item.
  auto item = static_cast<Button*>(data)->item;
  item->sendAction();
}

}  // namespace velquor::gtk
