// velquor checkout --report-failures and --trusted-origin, run as a user runs them on each toolkit,
// against gateways that misbehave; and the pages it names when they cannot be loaded.

#include "CommandProcess.h"
#include "MisbehavingGateways.h"

#include "SandboxGateway.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using velquor::sandbox::AutoResult;
using velquor::sandbox::SandboxGateway;

constexpr auto kCommandPatience = 90s;
// From the fault to the report, at most.
constexpr double kReportWithinSeconds = 5.0;

class FailureCommand : public ::testing::TestWithParam<ToolkitLibrary> {
 protected:
  // velquor checkout on the parameter's toolkit and library against `endpoint`, then `extra`.
  CommandProcess checkout(const std::string& endpoint, std::vector<std::string> extra = {"--report-failures"},
                          const std::string& timeout = "20") {
    std::vector<std::string> arguments{"checkout"};
    const auto choice = GetParam().arguments();
    arguments.insert(arguments.end(), choice.begin(), choice.end());
    arguments.insert(arguments.end(), {"--endpoint", endpoint, "--timeout", timeout});
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return CommandProcess(VELQUOR_COMMAND, arguments, toolkitEnvironment(GetParam().toolkit));
  }
  bool onQt() const { return GetParam().toolkit == "qt"; }
};

// The command's one "failed" line, with the code expected.
::testing::AssertionResult oneFailedLine(const CommandProcess& command, long long code) {
  const auto lines = command.outLines();
  if (lines.size() != 1) return ::testing::AssertionFailure() << lines.size() << " lines:\n" << command.out() << command.err();
  const auto line = json::parse(lines[0], nullptr, false);
  if (line.is_discarded() || line.value("event", "") != "failed") return ::testing::AssertionFailure() << lines[0];
  const auto& error = line["error"];
  if (error.value("domain", "") != "VelquorCheckoutErrorDomain" || error.value("code", 0LL) != code ||
      error.value("description", "").empty()) {
    return ::testing::AssertionFailure() << lines[0];
  }
  return ::testing::AssertionSuccess();
}

TEST_P(FailureCommand, AGatewayAnsweringAnErrorStatusGivesOneFailedLineWithCode2AndStatus2) {
  ErrorStatusGateway failing(500);
  auto command = checkout(failing.endpoint());
  EXPECT_EQ(command.wait(kCommandPatience), 2);
  EXPECT_TRUE(oneFailedLine(command, 2));
  EXPECT_EQ(json::parse(command.outLines().at(0))["error"]["statusCode"], 500);
}

TEST_P(FailureCommand, AClosedPortGivesCode1AndNamesThePageOnStderr) {
  std::string endpoint;
  {
    SandboxGateway gone;
    endpoint = gone.endpoint();
  }
  auto command = checkout(endpoint);
  EXPECT_EQ(command.wait(kCommandPatience), 2);
  EXPECT_TRUE(oneFailedLine(command, 1));
  EXPECT_NE(command.err().find("cannot load " + endpoint), std::string::npos) << command.err();
}

TEST_P(FailureCommand, ASelfSignedGatewayGivesCode1) {
  SelfSignedGateway untrusted;
  auto command = checkout(untrusted.endpoint());
  EXPECT_EQ(command.wait(kCommandPatience), 2);
  ASSERT_TRUE(oneFailedLine(command, 1));
  EXPECT_EQ(json::parse(command.outLines().at(0))["error"]["underlyingError"]["domain"],
            onQt() ? "QtWebEngineCertificateErrorDomain" : "g-tls-error-quark");
}

// The command's own engine processes named `name` (as /proc shows it, cut to 15 bytes): every
// descendant of `root` by that name.
std::vector<pid_t> processesUnder(pid_t root, const std::string& name) {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const auto process = entry.path().filename().string();
    if (process.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream comm(entry.path() / "comm");
    std::string command;
    std::getline(comm, command);
    if (command != name) continue;
    for (pid_t pid = std::stoi(process); pid > 1;) {
      std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
      std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const auto close = text.rfind(')');
      if (close == std::string::npos) break;
      std::istringstream rest(text.substr(close + 2));
      char state = 0;
      pid_t parent = 0;
      rest >> state >> parent;
      if (parent == root) {
        found.push_back(std::stoi(process));
        break;
      }
      pid = parent;
    }
  }
  return found;
}

// WebKit's web processes; Qt WebEngine's zygotes and the renderers they fork.
TEST_P(FailureCommand, TheWebProcessKilledMidCheckoutGivesCode3WithinFiveSeconds) {
  std::atomic<bool> shown = false;
  velquor::sandbox::SandboxOptions options;
  options.onRequest = [&shown](const velquor::sandbox::ReceivedRequest&) { shown = true; };
  SandboxGateway gateway(std::move(options));
  auto command = checkout(gateway.endpoint());
  for (int i = 0; i < 600 && !shown; ++i) std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(shown);
  std::this_thread::sleep_for(1s);  // the payment page on screen
  const auto processes = processesUnder(command.pid(), onQt() ? "QtWebEngineProc" : "WebKitWebProces");
  ASSERT_FALSE(processes.empty());
  const auto killed = std::chrono::steady_clock::now();
  for (pid_t process : processes) ::kill(process, SIGKILL);
  EXPECT_EQ(command.wait(kCommandPatience), 2);
  const std::chrono::duration<double> toExit = std::chrono::steady_clock::now() - killed;
  EXPECT_TRUE(oneFailedLine(command, 3));
  EXPECT_LT(toExit.count(), kReportWithinSeconds) << "from the kill to the report, dismissal and exit";
}

TEST_P(FailureCommand, WithoutTheFlagAFailingGatewayChangesNothingTheCommandTimesOut) {
  ErrorStatusGateway failing(500);
  auto command = checkout(failing.endpoint(), {}, "3");
  EXPECT_EQ(command.wait(kCommandPatience), 1);
  EXPECT_EQ(command.out(), "");
  EXPECT_NE(command.err().find("no result within 3 s"), std::string::npos) << command.err();
}

TEST_P(FailureCommand, APortOrSchemeTheEngineRefusesIsNamedOnStderrWithoutTheFlagToo) {
  // Each engine's own words for the refusal: Chromium names a port it refuses by its net error.
  const std::vector<std::pair<std::string, std::string>> refusals{
      {"http://127.0.0.1:1/v2/paymentrequest", onQt() ? "net::ERR_UNSAFE_PORT" : "Not allowed to"},
      {"file:///etc/hostname", "Not allowed to"}};
  for (const auto& [endpoint, words] : refusals) {
    auto command = checkout(endpoint, {}, "6");
    EXPECT_EQ(command.wait(kCommandPatience), 1);
    EXPECT_NE(command.err().find("velquor checkout: cannot load " + endpoint + ": " + words), std::string::npos)
        << command.err();
  }
}

TEST_P(FailureCommand, ATrustedOriginLetsTheGatewaysOwnResultThroughAndAnotherKeepsItOut) {
  velquor::sandbox::SandboxOptions options;
  options.autoResult = AutoResult::success;
  SandboxGateway gateway(std::move(options));
  const std::string origin = gateway.endpoint().substr(0, gateway.endpoint().find("/v2/"));
  auto trusted = checkout(gateway.endpoint(), {"--trusted-origin", origin});
  EXPECT_EQ(trusted.wait(kCommandPatience), 0);
  ASSERT_EQ(trusted.outLines().size(), 1u) << trusted.err();
  EXPECT_EQ(json::parse(trusted.outLines()[0])["event"], "completed");

  auto other = checkout(gateway.endpoint(), {"--trusted-origin", "https://pay.velquor.com", "--trusted-origin", "http://localhost:1"},
                        "4");
  EXPECT_EQ(other.wait(kCommandPatience), 1);
  EXPECT_EQ(other.out(), "");
  EXPECT_NE(other.err().find("which is not a trusted origin"), std::string::npos) << other.err();

  auto malformed = checkout(gateway.endpoint(), {"--trusted-origin", "pay.velquor.com"});
  EXPECT_EQ(malformed.wait(kCommandPatience), 64);
  EXPECT_NE(malformed.err().find("not an origin"), std::string::npos) << malformed.err();
}

INSTANTIATE_TEST_SUITE_P(ToolkitsAndLibraries, FailureCommand, ::testing::ValuesIn(toolkitLibraries()),
                         [](const auto& info) { return parameterName(info.param); });

}  // namespace
}  // namespace e2e
