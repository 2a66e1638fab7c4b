// The velquor checkout and velquor demo commands, run as a user runs them, on each toolkit.

#include "CommandProcess.h"
#include "DisplayWindows.h"

#include "SandboxGateway.h"
#include "SandboxRecorder.h"

#include <gtk/gtk.h>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include <unistd.h>

namespace e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using velquor::sandbox::AutoResult;
using velquor::sandbox::ReceivedRequest;
using velquor::sandbox::SandboxGateway;
using velquor_testing::SandboxRecorder;

// A cold WebKit start on a busy machine, with room to spare; a hung command still fails.
constexpr auto kCommandPatience = 90s;
const CommandProcess::Environment kNoDisplay{{"DISPLAY", "WAYLAND_DISPLAY"}, {}};

SandboxGateway makeGateway(AutoResult autoResult, std::function<void(const ReceivedRequest&)> onRequest = {}) {
  velquor::sandbox::SandboxOptions options;
  options.autoResult = autoResult;
  options.onRequest = std::move(onRequest);
  return SandboxGateway(std::move(options));
}

// The one line the command printed, parsed; a failure when there is not exactly one.
::testing::AssertionResult oneJSONLine(const CommandProcess& command, json& line) {
  const auto lines = command.outLines();
  if (lines.size() != 1) {
    return ::testing::AssertionFailure() << lines.size() << " lines on stdout:\n" << command.out() << "\nstderr:\n" << command.err();
  }
  line = json::parse(lines[0], nullptr, false);
  if (line.is_discarded()) return ::testing::AssertionFailure() << "not JSON: " << lines[0];
  return ::testing::AssertionSuccess();
}

std::filesystem::path temporaryPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}

class CheckoutCommand : public ::testing::TestWithParam<ToolkitLibrary> {
 protected:
  // velquor checkout on the parameter's toolkit and library, then `extra`.
  CommandProcess checkout(std::vector<std::string> extra) {
    std::vector<std::string> arguments{"checkout"};
    const auto choice = GetParam().arguments();
    arguments.insert(arguments.end(), choice.begin(), choice.end());
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return CommandProcess(VELQUOR_COMMAND, arguments, toolkitEnvironment(GetParam().toolkit));
  }
  std::string name() const { return parameterName(GetParam()); }
};

TEST_P(CheckoutCommand, PrintsExactlyOneCompletedLineWithThePostedOrder) {
  SandboxRecorder recorder;
  auto gateway = makeGateway(AutoResult::success, recorder.callback());
  auto command = checkout({"--endpoint", gateway.endpoint()});
  ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
  json line;
  ASSERT_TRUE(oneJSONLine(command, line));
  EXPECT_EQ(line.value("event", ""), "completed");
  const json data = line.value("data", json());
  EXPECT_EQ(data.value("status", ""), "success");
  EXPECT_EQ(data.value("order_id", ""), "ORD-1001") << "the sample order";
  EXPECT_EQ(data.value("amount", ""), "249.00");
  ASSERT_EQ(gateway.requestCount(), 1u);
  const auto request = recorder.requests().at(0);
  EXPECT_EQ(data.value("transaction_id", ""), request.transactionId);
  EXPECT_EQ(request.userAgent, "Velquor-iOS-SDK");
  EXPECT_EQ(request.fields.size(), 38u);
  EXPECT_EQ(data["fields"].value("address_line_2", ""), "Flat <4B> & Co");
  EXPECT_EQ(data["fields"].value("name", ""), "Zoë O'Connor");
}

TEST_P(CheckoutCommand, UnderTheSlideAndPrewarmedTheCheckoutEndsAsAnyOther) {
  for (const std::vector<std::string>& flags :
       {std::vector<std::string>{"--load-under-slide"}, {"--prewarm"}, {"--load-under-slide", "--prewarm"}}) {
    SCOPED_TRACE(flags.back());
    SandboxRecorder recorder;
    auto gateway = makeGateway(AutoResult::success, recorder.callback());
    std::vector<std::string> arguments{"--endpoint", gateway.endpoint()};
    arguments.insert(arguments.end(), flags.begin(), flags.end());
    auto command = checkout(arguments);
    ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
    json line;
    ASSERT_TRUE(oneJSONLine(command, line));
    EXPECT_EQ(line.value("event", ""), "completed");
    EXPECT_EQ(line["data"].value("order_id", ""), "ORD-1001");
    ASSERT_EQ(gateway.requestCount(), 1u);
    EXPECT_EQ(recorder.requests().at(0).fields.size(), 38u);
  }
}

TEST_P(CheckoutCommand, PostsTheParametersOfTheGivenFile) {
  SandboxRecorder recorder;
  auto gateway = makeGateway(AutoResult::failure, recorder.callback());
  const auto file = temporaryPath("velquor-params-" + name() + ".json");
  json params = json::parse(R"({"api_key":"k","order_id":"FILE-7 \"quoted\"","hash":"h","amount":"1.00","mode":"TEST",
      "name":"n","phone":"p","email":"e","currency":"INR","country":"IND","city":"c","state":"s",
      "address_line_1":"a1","address_line_2":"a2","zip_code":"z","return_url":"r","description":"d",
      "udf1":"","udf2":"","udf3":"","udf4":"","udf5":"","offer_code":"OFF<10>"})");
  std::ofstream(file) << params.dump();
  auto command = checkout({"--endpoint", gateway.endpoint(), "--params", file.string()});
  ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
  std::filesystem::remove(file);
  json line;
  ASSERT_TRUE(oneJSONLine(command, line));
  EXPECT_EQ(line["data"].value("status", ""), "failure");
  EXPECT_EQ(line["data"].value("order_id", ""), "FILE-7 \"quoted\"");
  ASSERT_EQ(gateway.requestCount(), 1u);
  EXPECT_EQ(*velquor::sandbox::lastValue(recorder.requests().at(0).fields, "offer_code"), "OFF<10>");
}

TEST_P(CheckoutCommand, ScreenshotWritesAPngOfTheShownCheckout) {
  auto gateway = makeGateway(AutoResult::success);
  const auto file = temporaryPath("velquor-checkout-" + name() + ".png");
  auto command = checkout({"--endpoint", gateway.endpoint(), "--screenshot", file.string()});
  ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
  json line;
  ASSERT_TRUE(oneJSONLine(command, line));
  EXPECT_EQ(line.value("event", ""), "completed");

  std::ifstream png(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
  std::filesystem::remove(file);
  ASSERT_GE(bytes.size(), 33u) << "no PNG written";
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  const auto bigEndian = [&](std::size_t at) {
    return (static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 3]));
  };
  const unsigned width = bigEndian(16), height = bigEndian(20);
  EXPECT_GE(width, 300u);
  EXPECT_GE(height, 400u);
  EXPECT_LE(width, 4096u);
  EXPECT_LE(height, 4096u);

  // Not a blank picture: the bar, the page's text and buttons give it many colours.
  GBytes* data = g_bytes_new(bytes.data(), bytes.size());
  GError* error = nullptr;
  GdkTexture* texture = gdk_texture_new_from_bytes(data, &error);
  g_bytes_unref(data);
  ASSERT_NE(texture, nullptr) << (error ? error->message : "");
  std::vector<guchar> pixels(static_cast<std::size_t>(width) * height * 4);
  gdk_texture_download(texture, pixels.data(), width * 4);
  g_object_unref(texture);
  std::set<guint32> colours;
  for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
    colours.insert(static_cast<guint32>(pixels[i]) | pixels[i + 1] << 8 | pixels[i + 2] << 16);
  }
  EXPECT_GE(colours.size(), 32u) << "an almost uniform picture";
}

TEST_P(CheckoutCommand, WithoutAResultGivesUpAfterTheTimeoutWithStatusOneAndALineOnStderr) {
  auto gateway = makeGateway(AutoResult::none);
  auto command = checkout({"--endpoint", gateway.endpoint(), "--timeout", "6"});
  EXPECT_EQ(command.wait(kCommandPatience), 1);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("no result within 6 s\n"), std::string::npos) << command.err();
  EXPECT_GE(command.secondsTaken(), 6.0);
  EXPECT_EQ(gateway.requestCount(), 1u) << "the payment page was shown meanwhile";
}

TEST_P(CheckoutCommand, AnEndpointWhereNobodyListensIsNamedOnStderrBeforeTheTimeout) {
  std::string endpoint;
  {
    SandboxGateway gone;  // a loopback port that was just free, and is again
    endpoint = gone.endpoint();
  }
  auto command = checkout({"--endpoint", endpoint, "--timeout", "6"});
  EXPECT_EQ(command.wait(kCommandPatience), 1);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("cannot load " + endpoint + ": "), std::string::npos) << command.err();
  EXPECT_NE(command.err().find("no result within 6 s"), std::string::npos) << command.err();
}

TEST_P(CheckoutCommand, ClosingTheWindowEndsItAtOnceWithStatusOneAndNoResult) {
  auto gateway = makeGateway(AutoResult::none);
  auto command = checkout({"--endpoint", gateway.endpoint(), "--timeout", "120"});
  const auto deadline = std::chrono::steady_clock::now() + kCommandPatience;
  while (gateway.requestCount() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
  ASSERT_EQ(gateway.requestCount(), 1u) << "the payment page never showed";
  ASSERT_TRUE(closeWindowTitled("Velquor checkout", 10s));
  EXPECT_EQ(command.wait(30s), 1) << command.err();
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("the window was closed before a result"), std::string::npos) << command.err();
}

INSTANTIATE_TEST_SUITE_P(ToolkitsAndLibraries, CheckoutCommand, ::testing::ValuesIn(toolkitLibraries()),
                         [](const auto& info) { return parameterName(info.param); });

class CheckoutCommandWithoutDisplay : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckoutCommandWithoutDisplay, SaysToUseXvfbRunAndExitsUnavailable) {
  auto environment = toolkitEnvironment(GetParam());
  environment.unset.insert(environment.unset.end(), kNoDisplay.unset.begin(), kNoDisplay.unset.end());
  CommandProcess command(VELQUOR_COMMAND, {"checkout", "--toolkit", GetParam(), "--library", "classic", "--timeout", "5"},
                         environment);
  EXPECT_EQ(command.wait(30s), 69);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("xvfb-run"), std::string::npos) << command.err();
}

INSTANTIATE_TEST_SUITE_P(Toolkits, CheckoutCommandWithoutDisplay, ::testing::ValuesIn(builtToolkits()),
                         [](const auto& info) { return info.param; });

TEST(CheckoutCommandChoosingAToolkit, AToolkitItDoesNotKnowIsAUsageErrorNamingTheChoices) {
  CommandProcess command(VELQUOR_COMMAND, {"checkout", "--toolkit", "motif"});
  EXPECT_EQ(command.wait(30s), 64);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("motif"), std::string::npos) << command.err();
  EXPECT_NE(command.err().find("gtk"), std::string::npos) << command.err();
}

#if VELQUOR_TEST_HAS_QT
TEST(CheckoutCommandChoosingAToolkit, QtAsRootWithoutTheSandboxSwitchSaysHowToRunItAndExitsUnavailable) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root is refused the sandbox";
  auto environment = toolkitEnvironment("qt");
  environment.set.erase("QTWEBENGINE_DISABLE_SANDBOX");
  environment.unset.push_back("QTWEBENGINE_DISABLE_SANDBOX");
  CommandProcess command(VELQUOR_COMMAND, {"checkout", "--toolkit", "qt", "--timeout", "5"}, environment);
  EXPECT_EQ(command.wait(30s), 69);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("QTWEBENGINE_DISABLE_SANDBOX=1"), std::string::npos) << command.err();
}
#else
TEST(CheckoutCommandChoosingAToolkit, QtWithoutTheQtToolkitInTheBuildIsAUsageErrorSayingSo) {
  CommandProcess command(VELQUOR_COMMAND, {"checkout", "--toolkit", "qt"});
  EXPECT_EQ(command.wait(30s), 64);
  EXPECT_NE(command.err().find("built without the Qt toolkit"), std::string::npos) << command.err();
}
#endif

// The demo's arguments: the toolkit (none: the default) and the library (none: the default).
struct DemoChoice {
  std::string toolkit;
  std::string library;
};

void PrintTo(const DemoChoice& choice, std::ostream* out) { *out << "[" << choice.toolkit << "] [" << choice.library << "]"; }

class DemoCommand : public ::testing::TestWithParam<DemoChoice> {};

TEST_P(DemoCommand, PrintsACompletedLineFromTheSandboxAndExitsZero) {
  std::vector<std::string> arguments{"demo"};
  if (!GetParam().toolkit.empty()) arguments.insert(arguments.end(), {"--toolkit", GetParam().toolkit});
  if (!GetParam().library.empty()) arguments.insert(arguments.end(), {"--library", GetParam().library});
  CommandProcess command(VELQUOR_COMMAND, arguments, toolkitEnvironment(GetParam().toolkit));
  ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
  json line;
  ASSERT_TRUE(oneJSONLine(command, line));
  EXPECT_EQ(line.value("event", ""), "completed");
  EXPECT_EQ(line["data"].value("status", ""), "success");
  EXPECT_EQ(line["data"].value("order_id", ""), "ORD-1001");
  const std::string library = GetParam().library.empty() ? "kit" : GetParam().library;
  const std::string toolkit = GetParam().toolkit.empty() ? "gtk" : GetParam().toolkit;
  EXPECT_NE(command.err().find("checkout with " + library + " on " + toolkit), std::string::npos) << command.err();
}

std::vector<DemoChoice> demoChoices() {
  std::vector<DemoChoice> choices{{"", ""}, {"", "classic"}};
  if (builtToolkits().size() > 1) choices.insert(choices.end(), {{"qt", ""}, {"qt", "classic"}});
  return choices;
}

INSTANTIATE_TEST_SUITE_P(ToolkitsAndLibraries, DemoCommand, ::testing::ValuesIn(demoChoices()), [](const auto& info) {
  return (info.param.toolkit.empty() ? std::string("default") : info.param.toolkit) + "_" +
         (info.param.library.empty() ? std::string("kit") : info.param.library);
});

class DemoCommandWithoutDisplay : public ::testing::TestWithParam<std::string> {};

TEST_P(DemoCommandWithoutDisplay, RunsItselfUnderAVirtualDisplayAndPrintsTheResult) {
  auto environment = toolkitEnvironment(GetParam());
  environment.unset.insert(environment.unset.end(), kNoDisplay.unset.begin(), kNoDisplay.unset.end());
  CommandProcess command(VELQUOR_COMMAND, {"demo", "--toolkit", GetParam(), "--library", "classic"}, environment);
  ASSERT_EQ(command.wait(kCommandPatience), 0) << command.err();
  json line;
  ASSERT_TRUE(oneJSONLine(command, line));
  EXPECT_EQ(line.value("event", ""), "completed");
  EXPECT_NE(command.err().find("xvfb-run"), std::string::npos) << command.err();
  EXPECT_NE(command.err().find("checkout with classic on " + GetParam()), std::string::npos)
      << "the options pass through: " << command.err();
}

INSTANTIATE_TEST_SUITE_P(Toolkits, DemoCommandWithoutDisplay, ::testing::ValuesIn(builtToolkits()),
                         [](const auto& info) { return info.param; });

TEST(DemoCommandWithoutDisplay, InteractiveRefusesForThereIsNobodyToClick) {
  CommandProcess command(VELQUOR_COMMAND, {"demo", "--interactive"}, kNoDisplay);
  EXPECT_EQ(command.wait(30s), 69);
  EXPECT_NE(command.err().find("needs a display"), std::string::npos) << command.err();
}

}  // namespace
}  // namespace e2e
