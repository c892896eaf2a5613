// A running program as a screen reader sees it: its windows' trees read over
// the accessibility (AT-SPI) bus, keys typed through the display, actions
// run as an assistive tool runs them. Every call is bounded in time.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::testing {

struct AccessibleNode {
  std::string role;  // the AT-SPI role name: "push button", "radio button", ...
  std::string name;
  std::string description;
  std::string path;  // child indices from the window, "3/0/12"
  bool showing = false;
  bool enabled = false;
  bool focusable = false;
  bool focused = false;
  bool checked = false;
  std::optional<double> value;          // of a bar, a spin box and the like
  std::vector<std::string> labelledBy;  // names of the nodes it is labelled by
  std::vector<std::string> actions;
  std::vector<AccessibleNode> children;
};

// A control the user acts on: a button, a menu item, a scroll bar, an edit
// field and the like, or anything that takes the focus.
bool IsInteractive(const AccessibleNode& node);

// What one window's tree holds.
struct TreeFigures {
  int nodes = 0;
  int interactive = 0;
  int unnamed = 0;        // interactive and without a name
  int checkBoxRoles = 0;  // check boxes and toggle buttons: the program has none of its own,
                          // so each is a radio button in the wrong role
};
TreeFigures CountTree(const AccessibleNode& window);

// Every node of the tree, depth first, the window first.
std::vector<const AccessibleNode*> AllNodes(const AccessibleNode& window);
// "role 'name' [path]" for messages.
std::string Describe(const AccessibleNode& node);

// The AT-SPI client library, once per process, after the bus's environment
// is set. False (with the reason) when the accessibility bus is not there.
bool ConnectToAccessibilityBus(std::string& problem);

class ProgramTree {
 public:
  explicit ProgramTree(pid_t pid) : m_pid(pid) {}

  // Waits until the program shows a window whose name is `title`; false
  // when it has none within `limit`.
  bool WaitForWindow(const std::string& title, std::chrono::milliseconds limit) const;
  // Waits until no window of that name is left.
  bool WaitForWindowGone(const std::string& title, std::chrono::milliseconds limit) const;
  std::vector<std::string> WindowTitles() const;
  // The window's whole tree, or nothing when there is no such window.
  std::optional<AccessibleNode> Window(const std::string& title) const;

  // Runs `action` of the first node in the window with that role and name.
  bool DoAction(const std::string& title, const std::string& role, const std::string& name,
                const std::string& action) const;
  // The control in the window that has the keyboard focus.
  std::optional<AccessibleNode> Focused(const std::string& title) const;
  // Waits until the focused control is one `wanted` accepts; that control,
  // or nothing when none came within `limit`.
  std::optional<AccessibleNode> WaitForFocused(
      const std::string& title, const std::function<bool(const AccessibleNode&)>& wanted,
      std::chrono::milliseconds limit) const;
  // The controls Tab stops on, from the focused one round to it again (at
  // most `limit` presses).
  std::vector<AccessibleNode> TabStops(const std::string& title, int limit) const;

 private:
  pid_t m_pid;
};

// "name (pid)" of every program on the bus, for messages.
std::vector<std::string> ProgramsOnTheBus();

// Types a key (an X keysym) with the modifiers held (an X modifier mask:
// 4 is Control), through the display, as the keyboard would.
bool TypeKey(unsigned long keysym, unsigned modifiers = 0);

}  // namespace tavrel::testing
