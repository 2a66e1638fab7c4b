// The shared tables of presentations and script-message bodies, on GTK and the real WebKit engine
// (the headless toolkit runs the same tables).

#include "GtkTestSupport.h"

#include <PresentationCases.h>
#include <ScriptMessageBodyRun.h>

#include <velquor/platform/WKWebView.h>

using namespace velquor::platform;
using namespace gtk_test;
using velquor_testing::PresentationCase;
using velquor_testing::ScriptMessageBodyCase;

namespace {

class GtkPresenting : public velquor_testing::PresentingToolkit {
 public:
  explicit GtkPresenting(GtkWindow* window) : window_(window) {
    velquor::gtk::GtkToolkitOptions options;
    options.transitionDuration = std::chrono::milliseconds(0);
    options.ephemeralNetworkSession = true;
    toolkit.emplace(options);
  }
  std::shared_ptr<UIViewController> screenInWindow() override { return toolkit->rootViewControllerForWindow(window_); }
  void closeWindowOf(const std::shared_ptr<UIViewController>&) override {
    gtk_window_destroy(window_);
    window_ = nullptr;
  }
  void uninstall() override { toolkit.reset(); }
  void settle() override { spinFor(200ms); }
  GtkWindow* window() const { return window_; }

  std::optional<velquor::gtk::GtkToolkit> toolkit;

 private:
  GtkWindow* window_;
};

class GtkPresentationTable : public GtkWindowTest, public ::testing::WithParamInterface<PresentationCase> {};

TEST_P(GtkPresentationTable, IsShownOrRefusedAsTheTableSays) {
  GtkPresenting presenting(window);
  velquor_testing::expectPresentationOutcome(presenting, GetParam());
  if (!presenting.window()) window = nullptr;  // closed by the case
}

INSTANTIATE_TEST_SUITE_P(Cases, GtkPresentationTable, ::testing::ValuesIn(velquor_testing::presentationCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Each row in the page world (WebKit's own handler) and in a client world (the toolkit's bridge).
class GtkScriptMessageBodyTable : public GtkWindowTest,
                                  public velquor_testing::RealEngineTable,
                                  public ::testing::WithParamInterface<std::tuple<ScriptMessageBodyCase, bool>> {
 protected:
  void SetUp() override {
    GtkWindowTest::SetUp();
    makeToolkit();
  }
  ::testing::AssertionResult showWithPage(const std::shared_ptr<WKWebView>& webView) override {
    engine = velquor::gtk::GtkToolkit::webKitWebView(*webView);
    gtk_window_set_child(window, GTK_WIDGET(engine));
    webView->loadHTMLString("<p>page</p>", std::nullopt);
    if (!gtk_test::spinUntil([&] { return !webkit_web_view_is_loading(engine); })) {
      return ::testing::AssertionFailure() << "the page never loaded";
    }
    return ::testing::AssertionSuccess();
  }
  void runInPage(const std::string& script) override { evaluateJSON(engine, script); }
  bool spinUntil(const std::function<bool()>& condition) override { return gtk_test::spinUntil(condition); }
  void spinFor(std::chrono::milliseconds duration) override { gtk_test::spinFor(duration); }

  WebKitWebView* engine = nullptr;
};

TEST_P(GtkScriptMessageBodyTable, IsDeliveredDroppedAndLoggedAsTheTableSays) {
  const auto& [row, clientWorld] = GetParam();
  velquor_testing::playScriptMessageBodyRow(*this, row, clientWorld);
}

INSTANTIATE_TEST_SUITE_P(Rows, GtkScriptMessageBodyTable,
                         ::testing::Combine(::testing::ValuesIn(velquor_testing::scriptMessageBodyCases()), ::testing::Bool()),
                         velquor_testing::scriptMessageBodyRowName);

}  // namespace
