#pragma once

#include <chrono>
#include <map>
#include <optional>
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

}  // namespace e2e
