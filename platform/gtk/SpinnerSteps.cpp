#include "SpinnerSteps.h"

#include <string>

namespace velquor::gtk {

namespace {

constexpr const char* kSteppingClass = "velquor-stepping";

std::string stepClass(int step) { return "velquor-step-" + std::to_string(step); }

}  // namespace

SpinnerSteps::SpinnerSteps(GtkWidget* spinner) : spinner_(spinner) {
  gtk_widget_add_css_class(spinner_, kSteppingClass);
  gtk_widget_add_css_class(spinner_, stepClass(step_).c_str());
  const auto shown = +[](GtkWidget*, gpointer self) { static_cast<SpinnerSteps*>(self)->syncTimer(true); };
  const auto hidden = +[](GtkWidget*, gpointer self) { static_cast<SpinnerSteps*>(self)->syncTimer(false); };
  mapped_ = g_signal_connect(spinner_, "map", G_CALLBACK(shown), this);
  unmapped_ = g_signal_connect(spinner_, "unmap", G_CALLBACK(hidden), this);
}

SpinnerSteps::~SpinnerSteps() {
  g_signal_handler_disconnect(spinner_, mapped_);
  g_signal_handler_disconnect(spinner_, unmapped_);
  setSpinning(false);
}

std::string SpinnerSteps::css() {
  // The class outranks the theme's spinner:checked, whose animation it takes away.
  std::string css = "spinner." + std::string(kSteppingClass) + ", spinner." + kSteppingClass + ":checked { animation: none; }\n";
  for (int step = 0; step < kSteps; ++step) {
    css += "spinner." + stepClass(step) + " { -gtk-icon-transform: rotate(" + std::to_string(step * 360 / kSteps) +
           "deg); }\n";
  }
  return css;
}

void SpinnerSteps::setSpinning(bool spinning) {
  gtk_spinner_set_spinning(GTK_SPINNER(spinner_), spinning);
  syncTimer(gtk_widget_get_mapped(spinner_));
}

void SpinnerSteps::syncTimer(bool onScreen) {
  const bool turning = gtk_spinner_get_spinning(GTK_SPINNER(spinner_)) && onScreen;
  if (turning == (timer_ != 0)) return;
  if (turning) {
    timer_ = g_timeout_add(kStepMilliseconds, advance, this);
  } else {
    g_source_remove(timer_);
    timer_ = 0;
  }
}

gboolean SpinnerSteps::advance(gpointer data) {
  auto* self = static_cast<SpinnerSteps*>(data);
  self->show((self->step_ + 1) % kSteps);
  return G_SOURCE_CONTINUE;
}

void SpinnerSteps::show(int step) {
  gtk_widget_remove_css_class(spinner_, stepClass(step_).c_str());
  step_ = step;
  gtk_widget_add_css_class(spinner_, stepClass(step_).c_str());
}

}  // namespace velquor::gtk
