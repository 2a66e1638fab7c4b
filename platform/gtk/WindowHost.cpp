#include "WindowHost.h"

#include "GtkToolkitState.h"
#include "MainLoop.h"

#include <velquor/platform/KeyCommands.h>
#include <velquor/platform/UIAlertController.h>
#include <velquor/platform/WindowPresentations.h>

#include <algorithm>

namespace velquor::gtk {

using platform::UIViewController;

namespace {

// A transition whose frame clock stalls (a hidden window) still completes, this long after it
// should have ended.
constexpr unsigned kTransitionGraceMilliseconds = 1000;

}  // namespace

WindowHost::WindowHost(GtkWindow* window, GtkToolkitState& state)
    : window_(window), state_(state), root_(std::make_shared<UIViewController>()) {
  GtkWidget* content = gtk_window_get_child(window);
  appContent_ = GObjectRef<GtkWidget>::retain(content ? content : gtk_box_new(GTK_ORIENTATION_VERTICAL, 0));
  if (content) gtk_window_set_child(window, nullptr);

  stack_ = GObjectRef<GtkWidget>::retain(gtk_stack_new());
  gtk_widget_set_name(stack_.get(), "velquor-window-stack");
  gtk_stack_add_named(GTK_STACK(stack_.get()), appContent_.get(), "app");
  g_signal_connect(stack_.get(), "notify::transition-running", G_CALLBACK(transitionRunningChanged), this);
  // Bubbling: the page (and whatever on it has the focus) hears of Escape first; WebKit hands a key
  // its page did not handle on to the web view's ancestors.
  GtkEventController* keys = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_BUBBLE);
  g_signal_connect(keys, "key-pressed", G_CALLBACK(keyPressed), this);
  gtk_widget_add_controller(stack_.get(), keys);
  gtk_window_set_child(window, stack_.get());
}

WindowHost::~WindowHost() {
  g_signal_handlers_disconnect_by_data(stack_.get(), this);
  alerts_.clear();
  for (const auto& page : pages_) gtk_stack_remove(GTK_STACK(stack_.get()), page->widget());
  pages_.clear();
  // Pending completions still run (on their grace timers); they no longer wait for this stack.
  for (auto& task : waitingForTransition_) postToMainLoop(std::move(task));
  waitingForTransition_.clear();
  if (window_) {
    gtk_stack_remove(GTK_STACK(stack_.get()), appContent_.get());
    gtk_window_set_child(window_, appContent_.get());
  }
}

bool WindowHost::present(const std::shared_ptr<UIViewController>& presented, bool animated,
                         std::function<void()> didPresent) {
  if (!window_) return false;
  if (auto alert = std::dynamic_pointer_cast<platform::UIAlertController>(presented)) {
    auto dialog = std::make_shared<AlertDialog>(alert, window_, std::move(didPresent));
    state_.widgets[presented.get()] = dialog->widget();
    alerts_.push_back({presented, std::move(dialog)});
    return true;
  }
  auto page = std::make_unique<PresentedPage>(presented, state_);
  GtkWidget* widget = page->widget();
  gtk_stack_add_child(GTK_STACK(stack_.get()), widget);
  pages_.push_back(std::move(page));
  showPage(widget, GTK_STACK_TRANSITION_TYPE_OVER_UP, animated);
  auto focusWhenShown = [weak = weak_from_this(), shown = std::weak_ptr(presented)] {
    auto self = weak.lock();
    auto controller = shown.lock();
    if (!self || !controller) return;
    auto page = std::find_if(self->pages_.begin(), self->pages_.end(),
                             [&](const auto& each) { return each->controller() == controller; });
    // Only onto the page on top: a later presentation or a dismissal may have covered it already.
    if (page != self->pages_.end() && gtk_stack_get_visible_child(GTK_STACK(self->stack_.get())) == (*page)->widget()) {
      (*page)->focusContent();
    }
  };
  if (animated && state_.options.presentationCompletesAtStart) {
    postToMainLoop(std::move(didPresent));
    afterTransition(std::move(focusWhenShown));
    return true;
  }
  afterTransition([focusWhenShown = std::move(focusWhenShown), didPresent = std::move(didPresent)] {
    focusWhenShown();
    if (didPresent) didPresent();
  });
  return true;
}

void WindowHost::dismiss(const std::shared_ptr<UIViewController>& presented, bool animated,
                         std::function<void()> didDismiss) {
  const platform::PresentedChain chain(presented);

  // Alerts leave the model at once; their dialogs go (hidden and destroyed together) on the next
  // turn: this may run inside a dialog's own response or close-request signal, and a window hidden
  // inside its close-request keeps a size handler on its surface that outlives it.
  platform::takeAway(alerts_, chain, [this](Alert& alert) {
    state_.widgets.erase(alert.controller.get());
    postToMainLoop([dialog = std::move(alert.dialog)] {});
  });

  auto lowest = std::find_if(pages_.begin(), pages_.end(),
                             [&](const auto& page) { return chain.contains(page->controller().get()); });
  if (lowest == pages_.end()) {
    postToMainLoop(std::move(didDismiss));
    return;
  }
  GtkWidget* under = lowest == pages_.begin() ? appContent_.get() : (*(lowest - 1))->widget();
  showPage(under, GTK_STACK_TRANSITION_TYPE_UNDER_DOWN, animated);
  afterTransition([weak = weak_from_this(), chain, didDismiss = std::move(didDismiss)] {
    // The pages go first, so that nothing on screen still holds what the completion lets go.
    if (auto self = weak.lock()) {
      for (auto it = self->pages_.begin(); it != self->pages_.end();) {
        if (chain.contains((*it)->controller().get())) {
          gtk_stack_remove(GTK_STACK(self->stack_.get()), (*it)->widget());
          it = self->pages_.erase(it);
        } else {
          ++it;
        }
      }
    }
    if (didDismiss) didDismiss();
  });
}

void WindowHost::showPage(GtkWidget* page, GtkStackTransitionType transition, bool animated) {
  const auto duration = static_cast<unsigned>(std::max<long long>(0, state_.options.transitionDuration.count()));
  GtkStack* stack = GTK_STACK(stack_.get());
  gtk_stack_set_transition_type(stack, animated && duration > 0 ? transition : GTK_STACK_TRANSITION_TYPE_NONE);
  gtk_stack_set_transition_duration(stack, duration);
  gtk_stack_set_visible_child(stack, page);
}

void WindowHost::afterTransition(std::function<void()> task) {
  auto pending = std::make_shared<std::function<void()>>(std::move(task));
  auto fire = [pending] {
    if (auto run = std::exchange(*pending, nullptr)) run();
  };
  if (!gtk_stack_get_transition_running(GTK_STACK(stack_.get()))) {
    // Not mapped, animations off, or not animated: switched already; complete on the next turn.
    postToMainLoop(fire);
    return;
  }
  waitingForTransition_.push_back(fire);
  postToMainLoopAfter(gtk_stack_get_transition_duration(GTK_STACK(stack_.get())) + kTransitionGraceMilliseconds, fire);
}

gboolean WindowHost::keyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType modifiers, gpointer data) {
  if (keyval != GDK_KEY_Escape || (modifiers & gtk_accelerator_get_default_mod_mask()) != 0) return FALSE;
  // Alerts are windows of their own: here the frontmost is the top of the presented chain.
  std::shared_ptr<UIViewController> frontmost = static_cast<WindowHost*>(data)->root_;
  while (auto presented = frontmost->presentedViewController()) frontmost = presented;
  return platform::escapeKeyCommand(frontmost);
}

void WindowHost::transitionRunningChanged(GObject* stack, GParamSpec*, gpointer data) {
  if (gtk_stack_get_transition_running(GTK_STACK(stack))) return;
  auto* self = static_cast<WindowHost*>(data);
  auto waiting = std::move(self->waitingForTransition_);
  self->waitingForTransition_.clear();
  for (auto& task : waiting) postToMainLoop(std::move(task));
}

}  // namespace velquor::gtk
