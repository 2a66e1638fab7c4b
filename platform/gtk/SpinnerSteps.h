#pragma once

#include <gtk/gtk.h>

#include <string>

namespace velquor::gtk {

// Turns a GtkSpinner in twelve steps a second, as the platform's activity indicator does, instead
// of GTK's turn on every frame of the window. Each of GTK's turns redraws the window; drawn in
// software (no GPU, a virtual display) that is a few milliseconds of the main loop sixty times a
// second, taken from a page load whose every policy decision waits on the main loop.
//
// The spinner keeps its checked state (the theme's look while spinning) and its accessible busy
// state; only the theme's animation is replaced by a step class moved on by a timer. The timer runs
// only while the spinner is on screen: a hidden window's spinner, like GTK's own, does not turn.
class SpinnerSteps {
 public:
  explicit SpinnerSteps(GtkWidget* spinner);
  ~SpinnerSteps();
  SpinnerSteps(const SpinnerSteps&) = delete;
  SpinnerSteps& operator=(const SpinnerSteps&) = delete;

  void setSpinning(bool spinning);

  // The style rules the step classes need, for the toolkit's style sheet.
  static std::string css();

  static constexpr int kSteps = 12;
  static constexpr unsigned kStepMilliseconds = 1000 / kSteps;

 private:
  static gboolean advance(gpointer self);
  void show(int step);
  // Starts or stops the timer to match the spinner's spinning state and whether it is on screen.
  void syncTimer(bool onScreen);

  GtkWidget* spinner_;
  guint timer_ = 0;
  gulong mapped_ = 0;
  gulong unmapped_ = 0;
  int step_ = 0;
};

}  // namespace velquor::gtk
