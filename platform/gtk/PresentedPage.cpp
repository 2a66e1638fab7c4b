#include "PresentedPage.h"

#include "GtkToolkitState.h"

#include <velquor/platform/UINavigationController.h>

namespace velquor::gtk {

PresentedPage::PresentedPage(std::shared_ptr<platform::UIViewController> controller, GtkToolkitState& state)
    : controller_(std::move(controller)), state_(state) {
  page_ = GObjectRef<GtkWidget>::retain(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0));
  gtk_widget_add_css_class(page_.get(), "velquor-presented-page");
  gtk_widget_add_css_class(page_.get(), "background");

  std::shared_ptr<platform::UIView> contentView;
  if (auto navigation = std::dynamic_pointer_cast<platform::UINavigationController>(controller_)) {
    bar_ = std::make_unique<NavigationBarView>(navigation, state_);
    gtk_box_append(GTK_BOX(page_.get()), bar_->widget());
    if (auto top = navigation->topViewController()) contentView = top->view();
  } else {
    contentView = controller_->view();
  }
  if (contentView) {
    content_ = std::make_unique<ViewRenderer>(contentView, state_, true);
    gtk_box_append(GTK_BOX(page_.get()), content_->widget());
  }
  state_.widgets[controller_.get()] = page_.get();
}

PresentedPage::~PresentedPage() {
  if (auto it = state_.widgets.find(controller_.get()); it != state_.widgets.end() && it->second == page_.get()) {
    state_.widgets.erase(it);
  }
  // Take the content out first: its web views must leave the page before their renderers go.
  if (content_) gtk_box_remove(GTK_BOX(page_.get()), content_->widget());
  if (bar_) gtk_box_remove(GTK_BOX(page_.get()), bar_->widget());
  content_.reset();
  bar_.reset();
}

}  // namespace velquor::gtk
