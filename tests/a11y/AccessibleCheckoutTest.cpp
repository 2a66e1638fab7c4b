// The checkout as a screen reader and a keyboard-only user meet it: the velquor command on each real
// toolkit with each library, its accessibility tree read over AT-SPI from this process, keys sent
// through the X server.

#include "AccessibleTree.h"
#include "CommandProcess.h"
#include "Keyboard.h"

#include "SandboxGateway.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace a11y {
namespace {

using namespace std::chrono_literals;
using e2e::CommandProcess;
using e2e::ToolkitLibrary;
using nlohmann::json;

// A cold engine start on a busy machine, with room to spare.
constexpr auto kPatience = 60s;
constexpr const char* kTitle = "Velquor";
constexpr const char* kAlertMessage = "Do you want to cancel this payment?";

// Accepts connections and never answers: the gateway's page never finishes loading.
class SilentGateway {
 public:
  SilentGateway() {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(socket_, 16) == 0 &&
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~SilentGateway() { ::close(socket_); }
  SilentGateway(const SilentGateway&) = delete;
  SilentGateway& operator=(const SilentGateway&) = delete;
  std::string endpoint() const { return "http://127.0.0.1:" + std::to_string(port_) + "/v2/paymentrequest"; }

 private:
  int socket_ = -1;
  int port_ = 0;
};

bool isAlert(const AccessibleNode& node) { return node.role == "alert" && node.description == kAlertMessage; }

// The alert is up with the focus on one of its buttons.
bool alertHasTheKeys(const AccessibleNode& tree) {
  const auto* alert = tree.find(isAlert);
  return alert && alert->focused() && alert->focused()->role == "push button";
}

// The buttons' names under `node`, in tree order.
std::vector<std::string> buttonNames(const AccessibleNode& node) {
  std::vector<std::string> names;
  for (const auto* button : node.findAll([](const AccessibleNode& each) { return each.role == "push button"; })) {
    names.push_back(button->name);
  }
  return names;
}

class AccessibleCheckout : public ::testing::TestWithParam<ToolkitLibrary> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus_.connected()) << "no AT-SPI bus: run under tests/a11y/run-with-a11y-bus.sh";
    velquor::sandbox::SandboxOptions options;
    options.autoResult = velquor::sandbox::AutoResult::none;
    options.onRequest = [this](const velquor::sandbox::ReceivedRequest&) { ++posts_; };
    gateway_.emplace(std::move(options));
  }

  // velquor checkout on this test's toolkit and library, with what a screen reader user's session has.
  std::unique_ptr<CommandProcess> checkout(const std::string& endpoint) {
    std::vector<std::string> arguments{"checkout", "--endpoint", endpoint, "--timeout", "120"};
    const auto choice = GetParam().arguments();
    arguments.insert(arguments.end(), choice.begin(), choice.end());
    CommandProcess::Environment environment;
    environment.unset = {"NO_AT_BRIDGE", "GTK_A11Y", "QT_ACCESSIBILITY"};
    return std::make_unique<CommandProcess>(VELQUOR_COMMAND, arguments, environment);
  }

  // The tree once the checkout is up: its region titled by the bar's title, Cancel in it.
  std::optional<AccessibleNode> checkoutTree(pid_t pid, const std::function<bool(const AccessibleNode&)>& also) {
    return bus_.waitFor(
        pid,
        [&](const AccessibleNode& tree) {
          const auto* region = tree.find([&](const AccessibleNode& node) { return node.role == regionRole() && node.name == kTitle; });
          return region && region->findRole("push button", "Cancel") && also(tree);
        },
        kPatience);
  }

  // Until the gateway has answered the form's post and no spinner is left in the tree.
  std::optional<AccessibleNode> gatewayPageTree(pid_t pid) {
    return checkoutTree(pid, [this](const AccessibleNode& tree) {
      // The spinner stops, then leaves the tree a moment later: loaded means gone, not only idle.
      return posts_ > 0 &&
             !tree.find([](const AccessibleNode& node) { return node.has("busy") || node.role == "progress bar"; }) &&
             (GetParam().toolkit != "qt" || tree.findRole("push button", "Pay"));
    });
  }

  // Neither toolkit has an AT-SPI landmark: GTK 4.8 hands its region and landmark roles over as
  // unnamed fillers, so its checkout is a group (a panel); Qt 6.4 gives its nearest, a section.
  std::string regionRole() const { return GetParam().toolkit == "qt" ? "section" : "panel"; }
  // What a failing wait prints: who is on the bus, the app's tree as it is, what the app said.
  std::string diagnosis(const CommandProcess& command) const {
    std::ostringstream text;
    text << "applications on the bus: " << bus_.applications() << "\n";
    if (const auto tree = bus_.application(command.pid())) text << *tree;
    text << "stderr:\n" << command.err();
    return text.str();
  }

  AccessibilityBus bus_;
  Keyboard keyboard_;
  std::atomic<int> posts_{0};
  std::optional<velquor::sandbox::SandboxGateway> gateway_;
};

TEST_P(AccessibleCheckout, NamesTheAppTheCheckoutItsCancelButtonAndTheGatewaysPage) {
  auto command = checkout(gateway_->endpoint());
  const auto tree = gatewayPageTree(command->pid());
  ASSERT_TRUE(tree) << diagnosis(*command);

  EXPECT_EQ(tree->role, "application");
  EXPECT_EQ(tree->name, "velquor");
  const auto* region = tree->find([&](const AccessibleNode& node) { return node.name == kTitle && node.role == regionRole(); });
  ASSERT_NE(region, nullptr) << *tree;
  EXPECT_EQ(buttonNames(*region).front(), "Cancel") << *region;
  // Nothing loads: no spinner in the tree.
  EXPECT_EQ(region->find([](const AccessibleNode& node) { return node.role == "progress bar"; }), nullptr) << *region;

  // The presentation ended with the focus in the web content, so a screen reader starts on the page.
  const auto* focused = tree->focused();
  ASSERT_NE(focused, nullptr) << *tree;
  EXPECT_NE(focused->role, "push button") << *tree;
  if (GetParam().toolkit == "qt") {
    // Qt WebEngine exposes the gateway's own page.
    const auto* page = region->findRole("document web");
    ASSERT_NE(page, nullptr) << *region;
    EXPECT_NE(page->findRole("push button", "Pay"), nullptr) << *page;
    EXPECT_NE(page->findRole("push button", "Decline"), nullptr) << *page;
  }
  command.reset();
}

// GTK embeds WebKit's page tree from 4.14 on; before that there is nothing the page could be read from.
TEST_P(AccessibleCheckout, TheGatewaysPageIsInTheTreeWhereTheEngineCanExposeIt) {
  auto command = checkout(gateway_->endpoint());
  const auto tree = gatewayPageTree(command->pid());
  ASSERT_TRUE(tree) << diagnosis(*command);
  if (GetParam().toolkit == "gtk") {
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(tree->toolkitVersion.c_str(), "%d.%d", &major, &minor), 2) << tree->toolkitVersion;
    if (major < 4 || (major == 4 && minor < 14)) {
      GTEST_SKIP() << "GTK " << tree->toolkitVersion << " cannot embed WebKit's page tree (GTK 4.14 or later can)";
    }
  }
  const auto* page = tree->findRole("document web");
  ASSERT_NE(page, nullptr) << *tree;
  EXPECT_NE(page->findRole("push button", "Pay"), nullptr) << *page;
  EXPECT_NE(page->findRole("push button", "Decline"), nullptr) << *page;
}

TEST_P(AccessibleCheckout, TheSpinnerIsABusyIndicatorWhileThePageLoads) {
  SilentGateway silent;
  auto command = checkout(silent.endpoint());
  const auto tree = checkoutTree(command->pid(), [](const AccessibleNode& tree) {
    return tree.find([](const AccessibleNode& node) { return node.has("busy"); }) != nullptr;
  });
  ASSERT_TRUE(tree) << diagnosis(*command);
  const auto* busy = tree->find([](const AccessibleNode& node) { return node.has("busy"); });
  ASSERT_NE(busy, nullptr) << *tree;
  EXPECT_EQ(busy->role, "progress bar") << *tree;
}

TEST_P(AccessibleCheckout, EscapeAsksAndNoByKeyboardLeavesThePaymentGoingOn) {
  auto command = checkout(gateway_->endpoint());
  const pid_t pid = command->pid();
  ASSERT_TRUE(gatewayPageTree(pid)) << diagnosis(*command);
  const auto before = bus_.application(pid);
  ASSERT_TRUE(before && before->focused());
  const auto focusedBefore = before->focused()->role;

  ASSERT_TRUE(keyboard_.focusWindowOf(pid)) << keyboard_.lastError();
  ASSERT_TRUE(keyboard_.press({"Escape"})) << keyboard_.lastError();
  auto asking = bus_.waitFor(pid, alertHasTheKeys, kPatience);
  ASSERT_TRUE(asking) << "no alert with the focus on a button";
  const auto* alert = asking->find(isAlert);
  ASSERT_NE(alert, nullptr) << *asking;
  EXPECT_EQ(buttonNames(*alert), (std::vector<std::string>{"No", "Yes"})) << *alert;
  ASSERT_EQ(alert->focused()->role, "push button") << *alert;

  // Tab (or an arrow) moves between the two; the user listens for "No", then presses Enter.
  for (int presses = 0; presses < 4 && asking && asking->find(isAlert)->focused()->name != "No"; ++presses) {
    ASSERT_TRUE(keyboard_.press({presses % 2 ? "Right" : "Tab"})) << keyboard_.lastError();
    std::this_thread::sleep_for(300ms);
    asking = bus_.application(pid);
    ASSERT_TRUE(asking && asking->find(isAlert) && asking->find(isAlert)->focused()) << (asking ? *asking : AccessibleNode{});
  }
  ASSERT_EQ(asking->find(isAlert)->focused()->name, "No") << *asking;
  ASSERT_TRUE(keyboard_.press({"Return"})) << keyboard_.lastError();

  const auto after = bus_.waitFor(pid, [](const AccessibleNode& tree) { return !tree.find(isAlert) && tree.focused(); }, kPatience);
  ASSERT_TRUE(after && !after->find(isAlert)) << (after ? *after : AccessibleNode{});
  // Focus came back to where it was, the page is still there and nothing was reported.
  EXPECT_EQ(after->focused()->role, focusedBefore) << *after;
  if (GetParam().toolkit == "qt") {
    EXPECT_NE(after->findRole("push button", "Pay"), nullptr) << *after;
  }
  EXPECT_EQ(command->wait(1s), std::nullopt) << "the checkout ended: " << command->out();
  EXPECT_EQ(command->out(), "");
}

TEST_P(AccessibleCheckout, EscapeThenYesByKeyboardCancels) {
  auto command = checkout(gateway_->endpoint());
  const pid_t pid = command->pid();
  ASSERT_TRUE(gatewayPageTree(pid)) << diagnosis(*command);
  ASSERT_TRUE(keyboard_.focusWindowOf(pid)) << keyboard_.lastError();
  ASSERT_TRUE(keyboard_.press({"Escape"})) << keyboard_.lastError();
  auto asking = bus_.waitFor(pid, alertHasTheKeys, kPatience);
  ASSERT_TRUE(asking && asking->find(isAlert)) << "no alert";
  for (int presses = 0; presses < 4 && asking->find(isAlert)->focused()->name != "Yes"; ++presses) {
    ASSERT_TRUE(keyboard_.press({"Tab"})) << keyboard_.lastError();
    std::this_thread::sleep_for(300ms);
    asking = bus_.application(pid);
    ASSERT_TRUE(asking && asking->find(isAlert) && asking->find(isAlert)->focused());
  }
  ASSERT_TRUE(keyboard_.press({"Return"})) << keyboard_.lastError();
  ASSERT_EQ(command->wait(kPatience), 0) << command->err();
  EXPECT_EQ(command->outLines(), std::vector<std::string>{R"({"event":"canceled"})"});
}

// From the presentation on, keys only: into the gateway's page, to its "Pay", pressed.
TEST_P(AccessibleCheckout, AWholeCheckoutByKeyboardAlone) {
  auto command = checkout(gateway_->endpoint());
  const pid_t pid = command->pid();
  // On Qt a screen reader finds "Pay" in the page first; on GTK the page's tree cannot be read.
  ASSERT_TRUE(gatewayPageTree(pid)) << diagnosis(*command);
  ASSERT_TRUE(keyboard_.focusWindowOf(pid)) << keyboard_.lastError();
  ASSERT_TRUE(keyboard_.press({"Tab", "Return"})) << keyboard_.lastError();
  ASSERT_EQ(command->wait(kPatience), 0) << command->err();
  const auto lines = command->outLines();
  ASSERT_EQ(lines.size(), 1u) << command->out();
  const auto line = json::parse(lines[0], nullptr, false);
  EXPECT_EQ(line.value("event", ""), "completed") << lines[0];
  EXPECT_EQ(line.value("data", json()).value("status", ""), "success") << lines[0];
}

INSTANTIATE_TEST_SUITE_P(EachToolkitAndLibrary, AccessibleCheckout, ::testing::ValuesIn(e2e::toolkitLibraries()),
                         [](const auto& info) { return e2e::parameterName(info.param); });

}  // namespace
}  // namespace a11y
