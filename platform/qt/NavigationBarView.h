#pragma once

#include <velquor/platform/UIBarButtonItem.h>
#include <velquor/platform/UINavigationController.h>

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace velquor::qt {

struct QtToolkitState;

// The bar of a navigation container: the top screen's title centred, its left bar button items
// on the left. Colours as the platform applies them: the bar tint (else the background colour)
// fills the bar, the title takes its text attributes' foreground colour, and each button its own
// tint, else the bar's tint, else the system blue. A click sends the item's action.
class NavigationBarView {
 public:
  // The bar is made inside `parent` (a page of the window), not as a window of its own.
  NavigationBarView(const std::shared_ptr<platform::UINavigationController>& navigation, QtToolkitState& state,
                    QWidget* parent);
  ~NavigationBarView();
  NavigationBarView(const NavigationBarView&) = delete;
  NavigationBarView& operator=(const NavigationBarView&) = delete;

  QWidget* widget() const { return bar_; }

  static constexpr const char* kBarName = "velquor-navigation-bar";
  static constexpr const char* kTitleName = "velquor-bar-title";
  static constexpr const char* kButtonName = "velquor-bar-button";

 private:
  struct Button {
    std::shared_ptr<platform::UIBarButtonItem> item;
    QPointer<QPushButton> widget;
    platform::NSObservation observation;
  };

  void syncBar();
  void syncItem();
  void syncButtons();
  void applyButtonColor(Button& button);

  std::shared_ptr<platform::UINavigationBar> navigationBar_;
  std::shared_ptr<platform::UINavigationItem> navigationItem_;
  QtToolkitState& state_;
  QPointer<QWidget> bar_;
  QHBoxLayout* leftBox_;
  QLabel* title_;
  std::vector<std::unique_ptr<Button>> buttons_;
  platform::NSObservation barObservation_;
  platform::NSObservation itemObservation_;
};

}  // namespace velquor::qt
