#include "CommandProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {

CommandProcess::CommandProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const Environment& environment) {
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe");

  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable(*entry);
    const std::string name = variable.substr(0, variable.find('='));
    const bool dropped = std::find(environment.unset.begin(), environment.unset.end(), name) != environment.unset.end();
    if (!dropped && !environment.set.count(name)) variables.push_back(variable);
  }
  for (const auto& [name, value] : environment.set) variables.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  std::vector<std::string> argumentCopies = arguments;
  argumentCopies.insert(argumentCopies.begin(), program);
  std::vector<char*> argv;
  for (auto& argument : argumentCopies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A group of its own, so that a hung run can be ended with everything it started.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  started_ = std::chrono::steady_clock::now();
  const int spawned = posix_spawnp(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  if (spawned != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
}

CommandProcess::~CommandProcess() {
  if (!exited_) {
    killGroup();
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(outFd_);
  ::close(errFd_);
}

void CommandProcess::collect(std::chrono::milliseconds slice) {
  // A pipe at its end is left out (poll skips negative descriptors).
  pollfd fds[2] = {{outOpen_ ? outFd_ : -1, POLLIN, 0}, {errOpen_ ? errFd_ : -1, POLLIN, 0}};
  if (!outOpen_ && !errOpen_) {
    std::this_thread::sleep_for(slice);
    return;
  }
  if (::poll(fds, 2, static_cast<int>(slice.count())) <= 0) return;
  char buffer[4096];
  for (int i = 0; i < 2; ++i) {
    if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
    const auto length = ::read(fds[i].fd, buffer, sizeof buffer);
    if (length > 0) {
      (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(length));
    } else {
      (i == 0 ? outOpen_ : errOpen_) = false;
    }
  }
}

std::optional<int> CommandProcess::wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!exited_ && std::chrono::steady_clock::now() < deadline) {
    collect(std::chrono::milliseconds(20));
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
      if (WIFEXITED(status)) status_ = WEXITSTATUS(status);
    }
  }
  if (!exited_) {
    killGroup();
    ::waitpid(pid_, nullptr, 0);
    exited_ = true;
    return std::nullopt;
  }
  // What is still in the pipes (a helper process of the program may hold them open a little longer).
  for (int i = 0; i < 10 && (outOpen_ || errOpen_); ++i) collect(std::chrono::milliseconds(20));
  return status_;
}

std::vector<std::string> CommandProcess::outLines() const {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto end = out_.find('\n'); end != std::string::npos; end = out_.find('\n', start)) {
    lines.push_back(out_.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void CommandProcess::killGroup() { ::kill(-pid_, SIGKILL); }

std::vector<std::string> builtToolkits() {
#if VELQUOR_TEST_HAS_QT
  return {"gtk", "qt"};
#else
  return {"gtk"};
#endif
}

CommandProcess::Environment toolkitEnvironment(const std::string& toolkit) {
  CommandProcess::Environment environment;
  if (toolkit != "qt") return environment;
  environment.unset = {"WAYLAND_DISPLAY"};
  environment.set = {{"QT_QPA_PLATFORM", "xcb"}, {"QT_QUICK_BACKEND", "software"}, {"QT_ACCESSIBILITY", "0"}};
  if (::geteuid() == 0) environment.set.emplace("QTWEBENGINE_DISABLE_SANDBOX", "1");
  return environment;
}

std::vector<ToolkitLibrary> toolkitLibraries() {
  std::vector<ToolkitLibrary> parameters;
  for (const auto& toolkit : builtToolkits()) {
    for (const char* library : {"kit", "classic"}) parameters.push_back({toolkit, library});
  }
  return parameters;
}

std::string parameterName(const ToolkitLibrary& parameter) { return parameter.toolkit + "_" + parameter.library; }

}  // namespace e2e
