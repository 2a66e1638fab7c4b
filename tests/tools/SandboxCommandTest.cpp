#include "SandboxGateway.h"

#include <httplib.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using velquor::sandbox::SandboxGateway;
using namespace std::chrono_literals;

namespace {

// `velquor sandbox ARGS...` as a child process with its standard output and error on pipes.
class SandboxProcess {
 public:
  explicit SandboxProcess(std::vector<std::string> arguments) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    arguments.insert(arguments.begin(), {VELQUOR_COMMAND, "sandbox"});
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, VELQUOR_COMMAND, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (spawned != 0) throw std::runtime_error("cannot start " VELQUOR_COMMAND);
  }
  ~SandboxProcess() {
    if (!exitStatus_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(err_);
  }

  // The first line on standard output, empty if none comes within `timeout`.
  std::string firstLine(std::chrono::milliseconds timeout) { return readUntil(out_, true, timeout); }
  std::string errorText() { return readUntil(err_, false, 5s); }
  void signal(int number) { ::kill(pid_, number); }

  // The exit status, or -1 for a signal or no exit within `timeout`.
  int waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exitStatus_ && std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      } else {
        std::this_thread::sleep_for(5ms);
      }
    }
    return exitStatus_.value_or(-1);
  }

 private:
  static std::string readUntil(int fd, bool oneLine, std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, 10) <= 0) continue;
      if (::read(fd, &c, 1) != 1) break;
      if (oneLine && c == '\n') break;
      text.push_back(c);
    }
    return text;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::optional<int> exitStatus_;
};

std::uint16_t portOf(const std::string& line) {
  const auto colon = line.rfind(':');
  return static_cast<std::uint16_t>(std::stoi(line.substr(colon + 1)));
}

TEST(SandboxCommand, PrintsWhereItListensServesAndExitsZeroOnSigterm) {
  SandboxProcess sandbox({"--auto", "failure"});
  const auto line = sandbox.firstLine(10s);
  ASSERT_EQ(line.rfind("Velquor sandbox gateway listening on http://127.0.0.1:", 0), 0u) << line;
  ASSERT_EQ(line.substr(line.size() - 18), "/v2/paymentrequest");
  httplib::Client client("127.0.0.1", portOf(line.substr(0, line.size() - 18)));
  const auto page = client.Post("/v2/paymentrequest", "order_id=1", "application/x-www-form-urlencoded");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("window.addEventListener(\"load\", function () { postResult(\"decline\"); });"),
            std::string::npos);
  sandbox.signal(SIGTERM);
  EXPECT_EQ(sandbox.waitForExit(10s), 0);
}

TEST(SandboxCommand, StopsOnSigintEvenWhenStartedWithSigintIgnored) {
  // A shell starts background commands so; the ignored disposition passes through exec.
  const auto previous = std::signal(SIGINT, SIG_IGN);
  SandboxProcess sandbox({});
  std::signal(SIGINT, previous);
  ASSERT_FALSE(sandbox.firstLine(10s).empty());
  sandbox.signal(SIGINT);
  EXPECT_EQ(sandbox.waitForExit(10s), 0);
}

TEST(SandboxCommand, APortInUseEndsWithAClearMessageAndANonZeroStatus) {
  SandboxGateway occupant;
  SandboxProcess sandbox({"--port", std::to_string(occupant.port())});
  EXPECT_EQ(sandbox.waitForExit(10s), 69);
  const auto message = sandbox.errorText();
  EXPECT_NE(message.find("cannot listen on 127.0.0.1:" + std::to_string(occupant.port())), std::string::npos) << message;
  EXPECT_NE(message.find("in use"), std::string::npos) << message;
  EXPECT_TRUE(sandbox.firstLine(100ms).empty());
}

}  // namespace
