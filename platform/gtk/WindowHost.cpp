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

// When the presentation began (both clocks are CLOCK_MONOTONIC): loading the screen's view and
// making its page are part of the slide's time, not a wait before it.
gint64 slideStart(const UIViewController& presented) {
  return std::chrono::duration_cast<std::chrono::microseconds>(presented.slideStart().time_since_epoch()).count();
}

// A completion still comes should the slide's end never be heard of, this long after it.
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
  // Bubbling: the page (and whatever on it has the focus) hears of Escape first; WebKit hands a key
  // its page did not handle on to the web view's ancestors.
  GtkEventController* keys = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_BUBBLE);
  g_signal_connect(keys, "key-pressed", G_CALLBACK(keyPressed), this);
  gtk_widget_add_controller(stack_.get(), keys);
  layer_ = GObjectRef<GtkWidget>::retain(velquor_slide_layer_new(stack_.get()));
  g_signal_connect(layer_.get(), "notify::sliding", G_CALLBACK(slidingChanged), this);
  gtk_window_set_child(window, layer_.get());
}

WindowHost::~WindowHost() {
  g_signal_handlers_disconnect_by_data(layer_.get(), this);
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
  showPage(widget, VELQUOR_SLIDE_UP, animated, slideStart(*presented));
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
  const gint64 start = g_get_monotonic_time();
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
  showPage(under, VELQUOR_SLIDE_DOWN, animated, start);
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

void WindowHost::showPage(GtkWidget* page, VelquorSlide slide, bool animated, gint64 start) {
  const auto duration = std::max<long long>(0, state_.options.transitionDuration.count());
  auto* layer = VELQUOR_SLIDE_LAYER(layer_.get());
  GtkStack* stack = GTK_STACK(stack_.get());
  const bool slides = animated && duration > 0 && velquor_slide_layer_can_slide(layer);
  // What was shown, as it was last drawn: covered going up, leaving going down.
  GdkPaintable* still = slides ? velquor_slide_layer_still_of(gtk_stack_get_visible_child(stack)) : nullptr;
  gtk_stack_set_transition_type(stack, GTK_STACK_TRANSITION_TYPE_NONE);
  gtk_stack_set_visible_child(stack, page);
  // However long the page took to make, the slide is seen for at least half its time.
  const gint64 end = std::max(start + duration * 1000, g_get_monotonic_time() + duration * 500);
  velquor_slide_layer_start(layer, slides ? slide : VELQUOR_SLIDE_NONE, still, end);
  if (still) g_object_unref(still);
}

void WindowHost::afterTransition(std::function<void()> task) {
  auto pending = std::make_shared<std::function<void()>>(std::move(task));
  auto fire = [pending] {
    if (auto run = std::exchange(*pending, nullptr)) run();
  };
  if (velquor_slide_layer_get_slide(VELQUOR_SLIDE_LAYER(layer_.get())) == VELQUOR_SLIDE_NONE) {
    // Not mapped, animations off, or not animated: switched already; complete on the next turn.
    postToMainLoop(fire);
    return;
  }
  waitingForTransition_.push_back(fire);
  const auto duration = static_cast<unsigned>(std::max<long long>(0, state_.options.transitionDuration.count()));
  postToMainLoopAfter(duration + kTransitionGraceMilliseconds, fire);
}

gboolean WindowHost::keyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType modifiers, gpointer data) {
  if (keyval != GDK_KEY_Escape || (modifiers & gtk_accelerator_get_default_mod_mask()) != 0) return FALSE;
  // Alerts are windows of their own: here the frontmost is the top of the presented chain.
  std::shared_ptr<UIViewController> frontmost = static_cast<WindowHost*>(data)->root_;
  while (auto presented = frontmost->presentedViewController()) frontmost = presented;
  return platform::escapeKeyCommand(frontmost);
}

void WindowHost::slidingChanged(GObject* layer, GParamSpec*, gpointer data) {
  if (velquor_slide_layer_get_slide(VELQUOR_SLIDE_LAYER(layer)) != VELQUOR_SLIDE_NONE) return;
  auto* self = static_cast<WindowHost*>(data);
  auto waiting = std::move(self->waitingForTransition_);
  self->waitingForTransition_.clear();
  for (auto& task : waiting) postToMainLoop(std::move(task));
}

}  // namespace velquor::gtk
