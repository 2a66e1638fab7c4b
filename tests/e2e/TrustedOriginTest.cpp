// Trusted origins on a real checkout: what other origins post, from a frame or after the checkout
// was sent on to them, never reaches the app; the gateway's own result does.

#include "CheckoutEndToEnd.h"

#include <velquor/platform/NSLog.h>

namespace e2e {
namespace {

using velquor_testing::LoopbackServer;
using nlohmann::json;

// The gateway (one origin) and a stranger (another port on loopback: another origin).
class TrustedOrigins : public CheckoutEndToEnd {
 protected:
  void SetUp() override {
    CheckoutEndToEnd::SetUp();
    stranger.routes().Get("/frame", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string("<script>") + kForge + "</script>", "text/html");
    });
    stranger.routes().Get("/elsewhere", [this](const httplib::Request&, httplib::Response& response) {
      // Forges a result, then sends the checkout back to the gateway.
      response.set_content(std::string("<script>") + kForge + "; location.href = '" + gateway_.url("/result") +
                               "';</script>",
                           "text/html");
    });
    stranger.start();
    gateway_.routes().Post("/framing", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content("<iframe src='" + stranger.url("/frame") + "' onload=\"" + kPostReal + "\"></iframe>",
                           "text/html");
    });
    gateway_.routes().Post("/sending-on", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content("<script>location.href = '" + stranger.url("/elsewhere") + "';</script>", "text/html");
    });
    gateway_.routes().Get("/result", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string("<script>") + kPostReal + "</script>", "text/html");
    });
    gateway_.start();
    previous = velquor::platform::setNSLogHandler([this](const std::string& message) { warnings.push_back(message); });
    checkout->trustedOrigins = {gateway_.url("")};
  }
  void TearDown() override {
    velquor::platform::setNSLogHandler(std::move(previous));
    CheckoutEndToEnd::TearDown();
  }

  // The completed calls' bodies, once the real result has come and a quiet second has passed.
  std::vector<json> resultsOf(const std::string& path) {
    launch(gateway_.url(path));
    EXPECT_TRUE(spinUntil([&] { return !checkout->calls.empty(); }));
    std::vector<json> bodies;
    for (const auto& call : callsAfter(1s)) bodies.push_back(call.data.value_or(json()));
    return bodies;
  }

  static constexpr const char* kForge =
      "window.webkit.messageHandlers.paymentResponseIos.postMessage({status: 'success', forged: true})";
  static constexpr const char* kPostReal =
      "window.webkit.messageHandlers.paymentResponseIos.postMessage({status: 'failure', real: true})";

  LoopbackServer stranger;
  LoopbackServer gateway_;
  std::vector<std::string> warnings;
  velquor::platform::NSLogHandler previous;
};

TEST_P(TrustedOrigins, AFrameOfAnotherOriginCannotPostAResult) {
  EXPECT_EQ(resultsOf("/framing"), (std::vector<json>{{{"status", "failure"}, {"real", true}}}));
  EXPECT_EQ(stranger.requestCount("/frame"), 1u) << "the frame did load, and post";
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("from a frame inside the page"), std::string::npos) << warnings[0];
}

TEST_P(TrustedOrigins, APageOfAnotherOriginTheCheckoutWasSentToCannotPostAResult) {
  EXPECT_EQ(resultsOf("/sending-on"), (std::vector<json>{{{"status", "failure"}, {"real", true}}}));
  EXPECT_EQ(stranger.requestCount("/elsewhere"), 1u);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find(stranger.url("") + ", which is not a trusted origin"), std::string::npos) << warnings[0];
}

TEST_P(TrustedOrigins, WithoutAListEveryMessageIsDeliveredAsBefore) {
  checkout->trustedOrigins.clear();
  const auto bodies = resultsOf("/framing");
  EXPECT_EQ(bodies.size(), 2u) << "the frame's forgery too";
  EXPECT_TRUE(warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(Libraries, TrustedOrigins, ::testing::Values("kit", "classic"), libraryTestName);

}  // namespace
}  // namespace e2e
