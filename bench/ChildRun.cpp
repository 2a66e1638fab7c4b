#include "ChildRun.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace bench {

namespace {

constexpr const char* kSelf = "/proc/self/exe";

void parseLine(const std::string& line, ChildReport& report) {
  std::istringstream in(line);
  std::string kind;
  in >> kind;
  if (kind == "result") {
    std::string name;
    double value = 0;
    if (in >> name >> value) report.results[name] = value;
  } else if (kind == "note") {
    std::string text;
    std::getline(in >> std::ws, text);
    report.notes.push_back(text);
  }
}

}  // namespace

void reportResult(const std::string& name, double value) {
  std::printf("result %s %.6f\n", name.c_str(), value);
  std::fflush(stdout);
}

void reportNote(const std::string& text) {
  std::printf("note %s\n", text.c_str());
  std::fflush(stdout);
}

ChildReport runChild(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

  std::vector<std::string> words{kSelf};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawn(&child, kSelf, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (spawned != 0) {
    close(pipeEnds[0]);
    throw std::runtime_error(std::string("cannot run the benchmark again: ") + std::strerror(spawned));
  }

  ChildReport report;
  FILE* output = fdopen(pipeEnds[0], "r");
  std::string line;
  for (int c = std::fgetc(output); c != EOF; c = std::fgetc(output)) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    parseLine(line, report);
    line.clear();
  }
  if (!line.empty()) parseLine(line, report);
  std::fclose(output);

  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string command;
    for (const auto& argument : arguments) command += " " + argument;
    throw std::runtime_error("the measuring run" + command + " failed");
  }
  return report;
}

}  // namespace bench
