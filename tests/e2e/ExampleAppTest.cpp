// The example apps, pressing Pay by themselves against the sandbox gateway.

#include "CommandProcess.h"

#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <gtest/gtest.h>

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
  const std::string program = GetParam() == "kit" ? KIT_EXAMPLE : CLASSIC_EXAMPLE;
  CommandProcess app(program, {gateway.endpoint()}, {{}, {{"VELQUOR_EXAMPLE_AUTOPAY", "1"}}});
  ASSERT_EQ(app.wait(90s), 0) << app.err();
  const auto lines = app.outLines();
  ASSERT_EQ(lines.size(), 2u) << app.out();
  EXPECT_EQ(lines[0], "Payment success for order ORD-1001");
  const auto data = nlohmann::json::parse(lines[1]);
  EXPECT_EQ(data.value("transaction_id", ""), recorder.requests().at(0).transactionId);
  EXPECT_EQ(recorder.requests().at(0).fields.size(), 38u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, ExampleApp, ::testing::Values("kit", "classic"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace e2e
