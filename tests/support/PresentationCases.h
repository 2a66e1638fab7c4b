#pragma once

// One table of presentations, run on every toolkit: which ones a toolkit shows and which it
// refuses. A refused presentation shows nothing, never runs its completion and holds nothing.

#include <velquor/platform/UINavigationController.h>
#include <velquor/platform/UIViewController.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <vector>

namespace velquor_testing {

// A toolkit as the table drives it.
class PresentingToolkit {
 public:
  virtual ~PresentingToolkit() = default;
  // The app's screen of a window that is open.
  virtual std::shared_ptr<velquor::platform::UIViewController> screenInWindow() = 0;
  virtual void closeWindowOf(const std::shared_ptr<velquor::platform::UIViewController>& screen) = 0;
  // Destroys the toolkit: none is installed afterwards.
  virtual void uninstall() = 0;
  // Turns the main loop until every transition begun so far has ended.
  virtual void settle() = 0;
};

struct PresentationCase {
  const char* name;
  std::function<std::shared_ptr<velquor::platform::UIViewController>(PresentingToolkit&)> presentingScreen;
  bool refused;
};

inline void PrintTo(const PresentationCase& testCase, std::ostream* out) { *out << testCase.name; }

inline std::vector<PresentationCase> presentationCases() {
  using velquor::platform::UIViewController;
  return {
      {"AScreenInAnOpenWindowPresents", [](PresentingToolkit& toolkit) { return toolkit.screenInWindow(); }, false},
      {"AScreenPresentedInAWindowPresentsOverIt",
       [](PresentingToolkit& toolkit) {
         auto screen = toolkit.screenInWindow();
         auto first = std::make_shared<UIViewController>();
         screen->presentViewController(first, false, nullptr);
         toolkit.settle();
         return first;
       },
       false},
      {"AScreenInNoWindowIsRefused", [](PresentingToolkit&) { return std::make_shared<UIViewController>(); }, true},
      {"AScreenWhoseWindowClosedIsRefused",
       [](PresentingToolkit& toolkit) {
         auto screen = toolkit.screenInWindow();
         toolkit.closeWindowOf(screen);
         toolkit.settle();
         return screen;
       },
       true},
      {"AScreenPresentingSomethingAlreadyIsRefused",
       [](PresentingToolkit& toolkit) {
         auto screen = toolkit.screenInWindow();
         screen->presentViewController(std::make_shared<UIViewController>(), false, nullptr);
         toolkit.settle();
         return screen;
       },
       true},
      {"NothingIsPresentedWithoutAToolkit",
       [](PresentingToolkit& toolkit) {
         auto screen = toolkit.screenInWindow();
         toolkit.uninstall();
         return screen;
       },
       true},
  };
}

// Presents a navigation container over the case's screen and checks the outcome.
inline void expectPresentationOutcome(PresentingToolkit& toolkit, const PresentationCase& testCase) {
  auto screen = testCase.presentingScreen(toolkit);
  auto content = std::make_shared<velquor::platform::UIViewController>();
  auto navigation = velquor::platform::UINavigationController::initWithRootViewController(content);
  std::weak_ptr<velquor::platform::UIViewController> presented = navigation;
  std::weak_ptr<velquor::platform::UIViewController> root = content;
  int completions = 0;
  screen->presentViewController(navigation, true, [&completions] { ++completions; });
  if (!testCase.refused) {
    toolkit.settle();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(navigation->presentingViewController(), screen);
    EXPECT_EQ(screen->presentedViewController(), navigation);
    return;
  }
  EXPECT_EQ(navigation->presentingViewController(), nullptr) << "refused at once";
  EXPECT_NE(screen->presentedViewController(), navigation);
  EXPECT_FALSE(navigation->isBeingPresented());
  toolkit.settle();
  EXPECT_EQ(completions, 0) << "a refused presentation never completes";
  navigation.reset();
  content.reset();
  EXPECT_TRUE(presented.expired()) << "nothing holds what was refused";
  EXPECT_TRUE(root.expired());
}

}  // namespace velquor_testing
