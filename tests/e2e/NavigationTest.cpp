// The spinner over the checkout's navigations, and a navigation that fails.

#include "CheckoutEndToEnd.h"

namespace e2e {
namespace {

using gtk_test::spinFor;
using gtk_test::spinUntil;

using Navigation = CheckoutEndToEnd;

// The spinner as the model and the screen show it at each start and finish of a load, seen after
// the toolkit has handled that event.
struct SpinnerTimeline {
  struct Sample {
    WebKitLoadEvent event;
    bool animating;
    bool shown;
    bool spinning;
  };
  std::shared_ptr<velquor::platform::UIActivityIndicatorView> spinner;
  GtkWidget* widget = nullptr;
  std::vector<Sample> samples;

  static void loadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_STARTED && event != WEBKIT_LOAD_FINISHED) return;
    auto& timeline = *static_cast<SpinnerTimeline*>(data);
    timeline.samples.push_back({event, timeline.spinner->isAnimating(), gtk_widget_get_visible(timeline.widget) != 0,
                                gtk_spinner_get_spinning(GTK_SPINNER(timeline.widget)) != 0});
  }
};

TEST_P(Navigation, TheSpinnerRunsDuringEachNavigationAndStopsAfterIt) {
  startGateway(AutoResult::none, [this](const ReceivedRequest& request) { gate.hold(request); });
  launch(gateway->endpoint());
  ASSERT_NE(navigation(), nullptr);
  SpinnerTimeline timeline{spinner(), spinnerWidget(), {}};
  ASSERT_TRUE(timeline.widget && GTK_IS_SPINNER(timeline.widget));
  EXPECT_EQ(gtk_widget_get_parent(timeline.widget), gtk_widget_get_parent(GTK_WIDGET(engine())));
  EXPECT_EQ(gtk_widget_get_prev_sibling(timeline.widget), GTK_WIDGET(engine())) << "above the web view";
  EXPECT_EQ(gtk_widget_get_halign(timeline.widget), GTK_ALIGN_CENTER);
  EXPECT_EQ(gtk_widget_get_valign(timeline.widget), GTK_ALIGN_CENTER);
  EXPECT_FALSE(timeline.spinner->isAnimating()) << "still before the payment starts";
  EXPECT_FALSE(gtk_widget_get_visible(timeline.widget));
  // After the toolkit's own handling of each event.
  g_signal_connect_after(engine(), "load-changed", G_CALLBACK(SpinnerTimeline::loadChanged), &timeline);

  // The gateway holds its answer: the post to it is under way.
  ASSERT_TRUE(spinUntil([&] { return gate.held(); }));
  spinFor(200ms);
  EXPECT_TRUE(timeline.spinner->isAnimating());
  EXPECT_TRUE(gtk_widget_get_visible(timeline.widget));
  EXPECT_TRUE(gtk_widget_get_mapped(timeline.widget)) << "on screen, above the page";
  EXPECT_TRUE(gtk_spinner_get_spinning(GTK_SPINNER(timeline.widget)));

  gate.open();
  ASSERT_TRUE(spinUntil([&] { return showsPaymentPage(); }));
  spinFor(200ms);
  EXPECT_FALSE(timeline.spinner->isAnimating());
  EXPECT_FALSE(gtk_widget_get_visible(timeline.widget));
  EXPECT_FALSE(gtk_spinner_get_spinning(GTK_SPINNER(timeline.widget)));

  // The form page, then the gateway's page: each started with the spinner and finished without it.
  ASSERT_EQ(timeline.samples.size(), 4u);
  for (std::size_t i = 0; i < timeline.samples.size(); ++i) {
    const auto& sample = timeline.samples[i];
    const bool started = i % 2 == 0;
    EXPECT_EQ(sample.event, started ? WEBKIT_LOAD_STARTED : WEBKIT_LOAD_FINISHED) << "event " << i;
    EXPECT_EQ(sample.animating, started) << "event " << i;
    EXPECT_EQ(sample.shown, started) << "event " << i;
    EXPECT_EQ(sample.spinning, started) << "event " << i;
  }
  g_signal_handlers_disconnect_by_data(engine(), &timeline);
}

TEST_P(Navigation, AFailedLoadLeavesTheSpinnerRunningReportsNothingAndShowsNoErrorPage) {
  const std::string nobodyListens =
      "http://127.0.0.1:" + std::to_string(gtk_test::unusedLoopbackPort()) + "/v2/paymentrequest";
  launch(nobodyListens);
  bool failed = false;
  g_signal_connect(engine(), "load-failed",
                   G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, char*, GError*, gpointer seen) -> gboolean {
                     *static_cast<bool*>(seen) = true;
                     return FALSE;
                   }),
                   &failed);
  ASSERT_TRUE(spinUntil([&] { return failed; }));
  ASSERT_TRUE(spinUntil([&] { return !webkit_web_view_is_loading(engine()); }));
  spinFor(500ms);

  EXPECT_TRUE(spinner()->isAnimating());
  EXPECT_TRUE(gtk_widget_get_visible(spinnerWidget()));
  EXPECT_TRUE(gtk_spinner_get_spinning(GTK_SPINNER(spinnerWidget())));
  EXPECT_TRUE(checkout->calls.empty());
  EXPECT_STREQ(webkit_web_view_get_uri(engine()), "about:blank") << "no error page in the failed load's place";
  EXPECT_EQ(gtk_test::evaluateJSON(engine(), "document.getElementById('payment_form').action"),
            "\"" + nobodyListens + "\"")
      << "the form page is still the document";
  EXPECT_EQ(gtk_stack_get_visible_child(windowStack()), toolkit->widgetForViewController(*navigation()));
  g_signal_handlers_disconnect_by_data(engine(), &failed);
}

INSTANTIATE_TEST_SUITE_P(Libraries, Navigation, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
