#include "tests/support/atspi_tree.h"

#include <atspi/atspi.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

namespace tavrel::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Each call on the bus waits this long at most for the program's answer.
constexpr int kCallLimitMs = 3000;
// How often a wait looks again at what it waits for.
constexpr std::chrono::milliseconds kLookAgain{20};

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using Ref = std::unique_ptr<T, ObjectUnref>;

// A string the library handed over; empty when the call failed.
std::string Take(gchar* text, GError* error) {
  if (error != nullptr) g_error_free(error);
  if (text == nullptr) return {};
  std::string result(text);
  g_free(text);
  return result;
}

std::string NameOf(AtspiAccessible* node) {
  GError* error = nullptr;
  gchar* name = atspi_accessible_get_name(node, &error);
  return Take(name, error);
}

std::string RoleOf(AtspiAccessible* node) {
  GError* error = nullptr;
  gchar* role = atspi_accessible_get_role_name(node, &error);
  return Take(role, error);
}

int ChildCount(AtspiAccessible* node) {
  GError* error = nullptr;
  const int count = atspi_accessible_get_child_count(node, &error);
  if (error != nullptr) {
    g_error_free(error);
    return 0;
  }
  return count;
}

Ref<AtspiAccessible> Child(AtspiAccessible* node, int index) {
  GError* error = nullptr;
  AtspiAccessible* child = atspi_accessible_get_child_at_index(node, index, &error);
  if (error != nullptr) g_error_free(error);
  return Ref<AtspiAccessible>(child);
}

// Every program on the bus with its process id (-1 when it does not say).
std::vector<std::pair<Ref<AtspiAccessible>, pid_t>> Programs() {
  std::vector<std::pair<Ref<AtspiAccessible>, pid_t>> programs;
  Ref<AtspiAccessible> desktop(atspi_get_desktop(0));
  if (!desktop) return programs;
  const int count = ChildCount(desktop.get());
  for (int i = 0; i < count; ++i) {
    Ref<AtspiAccessible> application = Child(desktop.get(), i);
    if (!application) continue;
    GError* error = nullptr;
    pid_t pid = static_cast<pid_t>(atspi_accessible_get_process_id(application.get(), &error));
    if (error != nullptr) {
      g_error_free(error);
      pid = -1;
    }
    programs.emplace_back(std::move(application), pid);
  }
  return programs;
}

// The program's node on the desktop, read afresh on every call: nothing of
// it is kept between calls, so no answer is ever an old one.
Ref<AtspiAccessible> Application(pid_t pid) {
  for (auto& [application, owner] : Programs()) {
    if (owner == pid) {
      atspi_accessible_set_cache_mask(application.get(), ATSPI_CACHE_NONE);
      return std::move(application);
    }
  }
  return nullptr;
}

bool Has(AtspiAccessible* node, AtspiStateType state) {
  AtspiStateSet* states = atspi_accessible_get_state_set(node);
  if (states == nullptr) return false;
  const bool has = atspi_state_set_contains(states, state);
  g_object_unref(states);
  return has;
}

// The program's shown window of that name (a closed one may stay listed).
Ref<AtspiAccessible> FindWindow(pid_t pid, const std::string& title) {
  Ref<AtspiAccessible> application = Application(pid);
  if (!application) return nullptr;
  const int count = ChildCount(application.get());
  for (int i = 0; i < count; ++i) {
    Ref<AtspiAccessible> window = Child(application.get(), i);
    if (window && NameOf(window.get()) == title && Has(window.get(), ATSPI_STATE_SHOWING)) {
      return window;
    }
  }
  return nullptr;
}

std::vector<std::string> LabelledBy(AtspiAccessible* node) {
  std::vector<std::string> names;
  GError* error = nullptr;
  GArray* relations = atspi_accessible_get_relation_set(node, &error);
  if (error != nullptr) g_error_free(error);
  if (relations == nullptr) return names;
  for (guint i = 0; i < relations->len; ++i) {
    AtspiRelation* relation = g_array_index(relations, AtspiRelation*, i);
    if (atspi_relation_get_relation_type(relation) == ATSPI_RELATION_LABELLED_BY) {
      const int targets = atspi_relation_get_n_targets(relation);
      for (int t = 0; t < targets; ++t) {
        Ref<AtspiAccessible> target(atspi_relation_get_target(relation, t));
        if (target) names.push_back(NameOf(target.get()));
      }
    }
    g_object_unref(relation);
  }
  g_array_free(relations, TRUE);
  return names;
}

std::vector<std::string> ActionsOf(AtspiAccessible* node) {
  std::vector<std::string> names;
  Ref<AtspiAction> action(atspi_accessible_get_action_iface(node));
  if (!action) return names;
  GError* error = nullptr;
  const int count = atspi_action_get_n_actions(action.get(), &error);
  if (error != nullptr) {
    g_error_free(error);
    return names;
  }
  for (int i = 0; i < count; ++i) {
    error = nullptr;
    gchar* name = atspi_action_get_action_name(action.get(), i, &error);
    names.push_back(Take(name, error));
  }
  return names;
}

// Reads one node; its children too when `deep`.
AccessibleNode Read(AtspiAccessible* node, const std::string& path, bool deep) {
  AccessibleNode result;
  result.role = RoleOf(node);
  result.name = NameOf(node);
  GError* error = nullptr;
  gchar* description = atspi_accessible_get_description(node, &error);
  result.description = Take(description, error);
  result.path = path;
  if (AtspiStateSet* states = atspi_accessible_get_state_set(node)) {
    result.showing = atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
    result.enabled = atspi_state_set_contains(states, ATSPI_STATE_ENABLED);
    result.focusable = atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE);
    result.focused = atspi_state_set_contains(states, ATSPI_STATE_FOCUSED);
    result.checked = atspi_state_set_contains(states, ATSPI_STATE_CHECKED);
    g_object_unref(states);
  }
  if (Ref<AtspiValue> value{atspi_accessible_get_value_iface(node)}) {
    GError* error = nullptr;
    const double current = atspi_value_get_current_value(value.get(), &error);
    if (error == nullptr) {
      result.value = current;
    } else {
      g_error_free(error);
    }
  }
  result.labelledBy = LabelledBy(node);
  result.actions = ActionsOf(node);
  if (!deep) return result;
  const int count = ChildCount(node);
  for (int i = 0; i < count; ++i) {
    Ref<AtspiAccessible> child = Child(node, i);
    if (!child) continue;
    const std::string childPath = path.empty() ? std::to_string(i) : path + "/" + std::to_string(i);
    result.children.push_back(Read(child.get(), childPath, true));
  }
  return result;
}

// The focused node under `node`, looking only where something is shown.
std::optional<AccessibleNode> FindFocused(AtspiAccessible* node, const std::string& path) {
  if (!Has(node, ATSPI_STATE_SHOWING)) return std::nullopt;
  if (Has(node, ATSPI_STATE_FOCUSED)) return Read(node, path, false);
  const int count = ChildCount(node);
  for (int i = 0; i < count; ++i) {
    Ref<AtspiAccessible> child = Child(node, i);
    if (!child) continue;
    const std::string childPath = path.empty() ? std::to_string(i) : path + "/" + std::to_string(i);
    if (auto found = FindFocused(child.get(), childPath)) return found;
  }
  return std::nullopt;
}

Ref<AtspiAccessible> FindNode(AtspiAccessible* node, const std::string& role,
                              const std::string& name) {
  if (RoleOf(node) == role && NameOf(node) == name) {
    return Ref<AtspiAccessible>(ATSPI_ACCESSIBLE(g_object_ref(node)));
  }
  const int count = ChildCount(node);
  for (int i = 0; i < count; ++i) {
    Ref<AtspiAccessible> child = Child(node, i);
    if (!child) continue;
    if (auto found = FindNode(child.get(), role, name)) return found;
  }
  return nullptr;
}

template <typename Condition>
bool WaitUntil(std::chrono::milliseconds limit, Condition condition) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLookAgain);
  }
}

bool Generate(glong key, AtspiKeySynthType type) {
  GError* error = nullptr;
  const gboolean done = atspi_generate_keyboard_event(key, nullptr, type, &error);
  if (error != nullptr) {
    g_error_free(error);
    return false;
  }
  return done != FALSE;
}

}  // namespace

bool IsInteractive(const AccessibleNode& node) {
  static const char* const kControlRoles[] = {
      "push button",
      "toggle button",
      "radio button",
      "check box",
      "menu item",
      "check menu item",
      "radio menu item",
      "scroll bar",
      "slider",
      "spin button",
      "text",
      "entry",
      "password text",
      "combo box",
      "page tab",
      "link",
  };
  return node.focusable || std::any_of(std::begin(kControlRoles), std::end(kControlRoles),
                                       [&node](const char* role) { return node.role == role; });
}

std::vector<const AccessibleNode*> AllNodes(const AccessibleNode& window) {
  std::vector<const AccessibleNode*> nodes{&window};
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    for (const AccessibleNode& child : nodes[i]->children) nodes.push_back(&child);
  }
  return nodes;
}

TreeFigures CountTree(const AccessibleNode& window) {
  TreeFigures figures;
  for (const AccessibleNode* node : AllNodes(window)) {
    ++figures.nodes;
    if (!IsInteractive(*node)) continue;
    ++figures.interactive;
    if (node->name.find_first_not_of(" \t") == std::string::npos) ++figures.unnamed;
    if (node->role == "check box" || node->role == "toggle button") ++figures.checkBoxRoles;
  }
  return figures;
}

std::string Describe(const AccessibleNode& node) {
  return node.role + " '" + node.name + "' [" + node.path + "]";
}

bool ConnectToAccessibilityBus(std::string& problem) {
  // 2: the library could not reach the accessibility bus.
  if (atspi_init() == 2 || atspi_get_a11y_bus() == nullptr) {
    problem = "the accessibility bus did not start";
    return false;
  }
  atspi_set_timeout(kCallLimitMs, kCallLimitMs);
  return true;
}

bool ProgramTree::WaitForWindow(const std::string& title, std::chrono::milliseconds limit) const {
  return WaitUntil(limit, [&] { return FindWindow(m_pid, title) != nullptr; });
}

bool ProgramTree::WaitForWindowGone(const std::string& title,
                                    std::chrono::milliseconds limit) const {
  return WaitUntil(limit, [&] { return FindWindow(m_pid, title) == nullptr; });
}

std::vector<std::string> ProgramTree::WindowTitles() const {
  std::vector<std::string> titles;
  Ref<AtspiAccessible> application = Application(m_pid);
  if (!application) return titles;
  const int count = ChildCount(application.get());
  for (int i = 0; i < count; ++i) {
    if (Ref<AtspiAccessible> window = Child(application.get(), i)) {
      titles.push_back(NameOf(window.get()));
    }
  }
  return titles;
}

std::optional<AccessibleNode> ProgramTree::Window(const std::string& title) const {
  Ref<AtspiAccessible> window = FindWindow(m_pid, title);
  if (!window) return std::nullopt;
  return Read(window.get(), "", true);
}

bool ProgramTree::DoAction(const std::string& title, const std::string& role,
                           const std::string& name, const std::string& action) const {
  Ref<AtspiAccessible> window = FindWindow(m_pid, title);
  if (!window) return false;
  Ref<AtspiAccessible> node = FindNode(window.get(), role, name);
  if (!node) return false;
  const std::vector<std::string> names = ActionsOf(node.get());
  const auto found = std::find(names.begin(), names.end(), action);
  if (found == names.end()) return false;
  Ref<AtspiAction> actions(atspi_accessible_get_action_iface(node.get()));
  GError* error = nullptr;
  const gboolean done =
      atspi_action_do_action(actions.get(), static_cast<gint>(found - names.begin()), &error);
  if (error != nullptr) {
    g_error_free(error);
    return false;
  }
  return done != FALSE;
}

std::optional<AccessibleNode> ProgramTree::Focused(const std::string& title) const {
  Ref<AtspiAccessible> window = FindWindow(m_pid, title);
  if (!window) return std::nullopt;
  return FindFocused(window.get(), "");
}

std::optional<AccessibleNode> ProgramTree::WaitForFocused(
    const std::string& title, const std::function<bool(const AccessibleNode&)>& wanted,
    std::chrono::milliseconds limit) const {
  std::optional<AccessibleNode> focused;
  WaitUntil(limit, [&] {
    focused = Focused(title);
    return focused && wanted(*focused);
  });
  if (focused && !wanted(*focused)) focused.reset();
  return focused;
}

std::vector<AccessibleNode> ProgramTree::TabStops(const std::string& title, int limit) const {
  std::vector<AccessibleNode> stops;
  std::optional<AccessibleNode> focused = Focused(title);
  if (!focused) {
    // Nothing focused yet: the first Tab gives the focus to the first stop.
    TypeKey(0xff09);
    WaitUntil(std::chrono::seconds(2), [&] { return (focused = Focused(title)).has_value(); });
    if (!focused) return stops;
  }
  stops.push_back(*focused);
  for (int press = 0; press < limit; ++press) {
    const std::string before = stops.back().path;
    TypeKey(0xff09);
    std::optional<AccessibleNode> next;
    WaitUntil(std::chrono::seconds(2), [&] {
      next = Focused(title);
      return next && next->path != before;
    });
    if (!next || next->path == before || next->path == stops.front().path) break;
    stops.push_back(*next);
  }
  return stops;
}

std::vector<std::string> ProgramsOnTheBus() {
  std::vector<std::string> programs;
  for (const auto& [application, pid] : Programs()) {
    programs.push_back(NameOf(application.get()) + " (" + std::to_string(pid) + ")");
  }
  return programs;
}

bool TypeKey(unsigned long keysym, unsigned modifiers) {
  if (modifiers != 0 && !Generate(modifiers, ATSPI_KEY_LOCKMODIFIERS)) return false;
  const bool typed = Generate(static_cast<glong>(keysym), ATSPI_KEY_SYM);
  if (modifiers != 0) Generate(modifiers, ATSPI_KEY_UNLOCKMODIFIERS);
  return typed;
}

}  // namespace tavrel::testing
