#include "AccessibleTree.h"

#include <atspi/atspi.h>

#include <thread>

namespace a11y {

namespace {

// A tree deeper or larger than this is a fault of the app (or a cycle), not something to walk.
constexpr int kMaxDepth = 64;
constexpr int kMaxNodes = 5000;

std::string take(gchar* text) {
  std::string result = text ? text : "";
  g_free(text);
  return result;
}

std::set<std::string> stateNames(AtspiAccessible* object) {
  std::set<std::string> names;
  AtspiStateSet* set = atspi_accessible_get_state_set(object);
  if (!set) return names;
  GArray* states = atspi_state_set_get_states(set);
  auto* enumClass = static_cast<GEnumClass*>(g_type_class_ref(atspi_state_type_get_type()));
  for (guint index = 0; states && index < states->len; ++index) {
    const GEnumValue* value = g_enum_get_value(enumClass, g_array_index(states, AtspiStateType, index));
    if (value) names.insert(value->value_nick);
  }
  g_type_class_unref(enumClass);
  if (states) g_array_free(states, TRUE);
  g_object_unref(set);
  return names;
}

AccessibleNode snapshot(AtspiAccessible* object, int depth, int& budget) {
  AccessibleNode node;
  GError* error = nullptr;
  node.role = take(atspi_accessible_get_role_name(object, &error));
  g_clear_error(&error);
  node.name = take(atspi_accessible_get_name(object, &error));
  g_clear_error(&error);
  node.description = take(atspi_accessible_get_description(object, &error));
  g_clear_error(&error);
  node.states = stateNames(object);
  if (depth >= kMaxDepth) return node;
  const gint count = atspi_accessible_get_child_count(object, &error);
  g_clear_error(&error);
  for (gint index = 0; index < count && --budget > 0; ++index) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(object, index, &error);
    g_clear_error(&error);
    if (!child) continue;
    node.children.push_back(snapshot(child, depth + 1, budget));
    g_object_unref(child);
  }
  return node;
}

void print(std::ostream& out, const AccessibleNode& node, int depth) {
  out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << "[" << node.role << "] \"" << node.name << "\"";
  if (!node.description.empty()) out << " (" << node.description << ")";
  for (const char* state : {"focused", "busy", "focusable", "showing"}) {
    if (node.has(state)) out << " " << state;
  }
  out << "\n";
  for (const auto& child : node.children) print(out, child, depth + 1);
}

}  // namespace

const AccessibleNode* AccessibleNode::find(const std::function<bool(const AccessibleNode&)>& matches) const {
  if (matches(*this)) return this;
  for (const auto& child : children) {
    if (const auto* found = child.find(matches)) return found;
  }
  return nullptr;
}

std::vector<const AccessibleNode*> AccessibleNode::findAll(const std::function<bool(const AccessibleNode&)>& matches) const {
  std::vector<const AccessibleNode*> found;
  if (matches(*this)) found.push_back(this);
  for (const auto& child : children) {
    auto more = child.findAll(matches);
    found.insert(found.end(), more.begin(), more.end());
  }
  return found;
}

const AccessibleNode* AccessibleNode::findRole(const std::string& wanted, const std::optional<std::string>& withName) const {
  return find([&](const AccessibleNode& node) { return node.role == wanted && (!withName || node.name == *withName); });
}

const AccessibleNode* AccessibleNode::focused() const {
  // The deepest one: Qt marks the containers of what has the focus as focused too.
  const auto isFocused = [](const AccessibleNode& node) { return node.has("focused"); };
  const AccessibleNode* found = find(isFocused);
  while (found) {
    const AccessibleNode* deeper = nullptr;
    for (const auto& child : found->children) {
      if ((deeper = child.find(isFocused))) break;
    }
    if (!deeper) break;
    found = deeper;
  }
  return found;
}

std::string AccessibleNode::texts() const {
  std::string all = name + " " + description;
  for (const auto& child : children) all += " " + child.texts();
  return all;
}

std::ostream& operator<<(std::ostream& out, const AccessibleNode& node) {
  print(out, node, 0);
  return out;
}

AccessibilityBus::AccessibilityBus() { connected_ = atspi_init() >= 0; }

// Never atspi_exit(): libatspi cannot be set up again after it, and the next test of the process
// would find a broken library. The connection goes with the process.
AccessibilityBus::~AccessibilityBus() = default;

std::optional<AccessibleNode> AccessibilityBus::application(pid_t pid) const {
  if (!connected_) return std::nullopt;
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return std::nullopt;
  std::optional<AccessibleNode> tree;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(desktop, &error);
  g_clear_error(&error);
  for (gint index = 0; index < count && !tree; ++index) {
    AtspiAccessible* application = atspi_accessible_get_child_at_index(desktop, index, &error);
    g_clear_error(&error);
    if (!application) continue;
    const guint owner = atspi_accessible_get_process_id(application, &error);
    g_clear_error(&error);
    if (static_cast<pid_t>(owner) == pid) {
      // Every read goes to the app: a cached tree would show what it was, not what it is.
      atspi_accessible_set_cache_mask(application, ATSPI_CACHE_NONE);
      atspi_accessible_clear_cache(application);
      int budget = kMaxNodes;
      tree = snapshot(application, 0, budget);
      tree->toolkitVersion = take(atspi_accessible_get_toolkit_version(application, &error));
      g_clear_error(&error);
    }
    g_object_unref(application);
  }
  g_object_unref(desktop);
  return tree;
}

std::string AccessibilityBus::applications() const {
  if (!connected_) return "(no AT-SPI)";
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return "(no desktop)";
  std::string all;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(desktop, &error);
  g_clear_error(&error);
  for (gint index = 0; index < count; ++index) {
    AtspiAccessible* application = atspi_accessible_get_child_at_index(desktop, index, &error);
    g_clear_error(&error);
    if (!application) continue;
    const guint owner = atspi_accessible_get_process_id(application, &error);
    g_clear_error(&error);
    all += (all.empty() ? "" : ", ") + take(atspi_accessible_get_name(application, &error)) + " (" + std::to_string(owner) + ")";
    g_clear_error(&error);
    g_object_unref(application);
  }
  g_object_unref(desktop);
  return all.empty() ? "(no application)" : all;
}

std::optional<AccessibleNode> AccessibilityBus::waitFor(pid_t pid, const std::function<bool(const AccessibleNode&)>& holds,
                                                        std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::optional<AccessibleNode> tree;
  for (;;) {
    tree = application(pid);
    if (tree && holds(*tree)) return tree;
    if (std::chrono::steady_clock::now() >= deadline) return tree;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace a11y
