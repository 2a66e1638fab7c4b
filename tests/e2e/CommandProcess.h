#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <sys/types.h>

namespace e2e {

// A program run as a child process in a process group of its own, with its standard output and
// error captured. The environment is this process's, with `unset` removed and `set` added.
class CommandProcess {
 public:
  struct Environment {
    std::vector<std::string> unset;
    std::map<std::string, std::string> set;
  };

  CommandProcess(const std::string& program, const std::vector<std::string>& arguments, const Environment& environment = {});
  ~CommandProcess();
  CommandProcess(const CommandProcess&) = delete;
  CommandProcess& operator=(const CommandProcess&) = delete;

  // Waits for the exit, collecting output meanwhile. The exit status; nothing when the process
  // did not end within `timeout` (its group is then killed) or ended by a signal.
  std::optional<int> wait(std::chrono::milliseconds timeout);

  const std::string& out() const { return out_; }
  const std::string& err() const { return err_; }
  // The standard output's complete lines.
  std::vector<std::string> outLines() const;
  double secondsTaken() const { return seconds_; }
  pid_t pid() const { return pid_; }

 private:
  // Reads what the pipes hold, waiting up to `slice` for something.
  void collect(std::chrono::milliseconds slice);
  void killGroup();

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  bool outOpen_ = true;
  bool errOpen_ = true;
  std::string out_;
  std::string err_;
  bool exited_ = false;
  std::optional<int> status_;
  std::chrono::steady_clock::time_point started_;
  double seconds_ = 0;
};

// The toolkits the velquor command and the example apps were built with: "gtk", and "qt" when the
// Qt toolkit is in the build.
std::vector<std::string> builtToolkits();

// What a program on `toolkit` needs beyond this process's environment (the GTK one comes from the
// GTK tests' launcher): for Qt, what tests/qt/run-with-display.sh sets, the sandbox switch only as root.
CommandProcess::Environment toolkitEnvironment(const std::string& toolkit);

// A test's parameter: the toolkit and the library a command runs the checkout with.
struct ToolkitLibrary {
  std::string toolkit;
  std::string library;
  // The command's arguments that choose both.
  std::vector<std::string> arguments() const { return {"--toolkit", toolkit, "--library", library}; }
};
// As GoogleTest prints a parameter (its bytes otherwise, which would land in the test's name).
inline void PrintTo(const ToolkitLibrary& parameter, std::ostream* out) { *out << parameter.toolkit << " " << parameter.library; }
// Every built toolkit with each library, GTK first.
std::vector<ToolkitLibrary> toolkitLibraries();
std::string parameterName(const ToolkitLibrary& parameter);

}  // namespace e2e
