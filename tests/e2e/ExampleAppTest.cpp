// The example apps, pressing Pay by themselves against the sandbox gateway: the GTK app of each
// library, and the Qt Widgets app when the Qt toolkit is built.

#include "CommandProcess.h"

#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <gtest/gtest.h>

#ifndef QT_EXAMPLE
#define QT_EXAMPLE ""  // no Qt app in this build
#endif

namespace e2e {
namespace {

using namespace std::chrono_literals;

class ExampleApp : public ::testing::TestWithParam<std::string> {};

TEST_P(ExampleApp, PaysTheSampleOrderAndShowsTheResultOnceItHasDismissedTheCheckout) {
  velquor::sandbox::SandboxOptions options;
  options.autoResult = velquor::sandbox::AutoResult::success;
  velquor_testing::SandboxRecorder recorder;
  options.onRequest = recorder.callback();
  velquor::sandbox::SandboxGateway gateway(std::move(options));
  const std::string program = GetParam() == "kit" ? KIT_EXAMPLE : GetParam() == "classic" ? CLASSIC_EXAMPLE : QT_EXAMPLE;
  auto environment = toolkitEnvironment(GetParam() == "qt" ? "qt" : "gtk");
  environment.set.emplace("VELQUOR_EXAMPLE_AUTOPAY", "1");
  CommandProcess app(program, {gateway.endpoint()}, environment);
  ASSERT_EQ(app.wait(90s), 0) << app.err();
  const auto lines = app.outLines();
  ASSERT_EQ(lines.size(), 2u) << app.out();
  EXPECT_EQ(lines[0], "Payment success for order ORD-1001");
  const auto data = nlohmann::json::parse(lines[1]);
  EXPECT_EQ(data.value("transaction_id", ""), recorder.requests().at(0).transactionId);
  EXPECT_EQ(recorder.requests().at(0).fields.size(), 38u);
}

#if VELQUOR_TEST_HAS_QT
#define VELQUOR_EXAMPLE_APPS "kit", "classic", "qt"
#else
#define VELQUOR_EXAMPLE_APPS "kit", "classic"
#endif
// kit and classic: the GTK apps; qt: the Qt app (VelquorKit).
INSTANTIATE_TEST_SUITE_P(Apps, ExampleApp, ::testing::Values(VELQUOR_EXAMPLE_APPS),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace e2e
