#include "PresentedPage.h"

#include "GtkToolkitState.h"

#include <velquor/platform/UINavigationController.h>

#include <webkit/webkit.h>

namespace velquor::gtk {

namespace {

GtkWidget* firstWebView(GtkWidget* root) {
  if (!gtk_widget_get_visible(root)) return nullptr;
  if (WEBKIT_IS_WEB_VIEW(root)) return root;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child; child = gtk_widget_get_next_sibling(child)) {
    if (GtkWidget* found = firstWebView(child)) return found;
  }
  return nullptr;
}

}  // namespace

PresentedPage::PresentedPage(std::shared_ptr<platform::UIViewController> controller, GtkToolkitState& state)
    : controller_(std::move(controller)), state_(state) {
  auto navigation = std::dynamic_pointer_cast<platform::UINavigationController>(controller_);
  // A navigation container is a region of its own, named by its bar's title. GTK 4.8 hands both
  // its region and its landmark roles to AT-SPI as fillers, which screen readers pass over in
  // silence; a group is a panel, which they announce by name. The role is set at construction only.
  page_ = GObjectRef<GtkWidget>::retain(GTK_WIDGET(
      g_object_new(GTK_TYPE_BOX, "orientation", GTK_ORIENTATION_VERTICAL, "accessible-role",
                   navigation ? GTK_ACCESSIBLE_ROLE_GROUP : GTK_ACCESSIBLE_ROLE_GENERIC, nullptr)));
  gtk_widget_add_css_class(page_.get(), "velquor-presented-page");
  gtk_widget_add_css_class(page_.get(), "background");

  std::shared_ptr<platform::UIView> contentView;
  if (navigation) {
    bar_ = std::make_unique<NavigationBarView>(navigation, state_);
    gtk_box_append(GTK_BOX(page_.get()), bar_->widget());
    gtk_accessible_update_relation(GTK_ACCESSIBLE(page_.get()), GTK_ACCESSIBLE_RELATION_LABELLED_BY,
                                   bar_->titleLabel(), nullptr, -1);
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

void PresentedPage::focusContent() {
  // The first web view on the page takes the focus, so that a screen reader starts on the page
  // it shows; without one, the page's first control (in Tab order) does.
  if (GtkWidget* webView = content_ ? firstWebView(content_->widget()) : nullptr) {
    gtk_widget_grab_focus(webView);
    return;
  }
  GtkRoot* root = gtk_widget_get_root(page_.get());
  if (!root) return;
  GtkWidget* focus = gtk_root_get_focus(root);
  if (!focus || !gtk_widget_is_ancestor(focus, page_.get())) gtk_widget_child_focus(page_.get(), GTK_DIR_TAB_FORWARD);
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
