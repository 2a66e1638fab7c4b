#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <sys/types.h>

namespace a11y {

// One object of an application's accessibility tree as an assistive technology reads it over
// AT-SPI: a snapshot, so a test can compare and print it without further bus calls.
struct AccessibleNode {
  std::string role;  // AT-SPI's role name: "push button", "alert", "document web", ...
  std::string name;
  std::string description;
  std::string toolkitVersion;  // the application's node only: its toolkit's version, e.g. "4.8.3"
  std::set<std::string> states;  // AT-SPI's state names: "focused", "busy", "showing", ...
  std::vector<AccessibleNode> children;

  bool has(const std::string& state) const { return states.count(state) != 0; }
  // Depth first, this node included.
  const AccessibleNode* find(const std::function<bool(const AccessibleNode&)>& matches) const;
  std::vector<const AccessibleNode*> findAll(const std::function<bool(const AccessibleNode&)>& matches) const;
  const AccessibleNode* findRole(const std::string& role, const std::optional<std::string>& name = std::nullopt) const;
  // The node holding the keyboard focus (the deepest one marked focused), if any.
  const AccessibleNode* focused() const;
  // Every text under this node (names and descriptions), depth first.
  std::string texts() const;
};

// Indented, one node per line: what a failing test prints.
std::ostream& operator<<(std::ostream& out, const AccessibleNode& node);

// A reader of the desktop's accessibility tree, as a screen reader is. One per process.
class AccessibilityBus {
 public:
  AccessibilityBus();
  ~AccessibilityBus();
  AccessibilityBus(const AccessibilityBus&) = delete;
  AccessibilityBus& operator=(const AccessibilityBus&) = delete;

  // Whether AT-SPI could be reached at all.
  bool connected() const { return connected_; }

  // The tree of the application that process `pid` registered, read now; nothing while it has none.
  std::optional<AccessibleNode> application(pid_t pid) const;
  // Every application on the desktop, "name (pid)" each: what a test prints when it finds none.
  std::string applications() const;

  // Reads the tree again until `holds` is true of it or `timeout` has passed; the last tree read.
  std::optional<AccessibleNode> waitFor(pid_t pid, const std::function<bool(const AccessibleNode&)>& holds,
                                        std::chrono::milliseconds timeout) const;

 private:
  bool connected_ = false;
};

}  // namespace a11y
