// The window program as a screen reader meets it: started on a private
// accessibility bus under a virtual display, each of its windows is read
// over AT-SPI and must name every control the user acts on, in the right
// role. The figures of each window are printed as well; TAVREL_ATSPI_PROGRAM
// points the test at another build of the program to compare them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/atspi_tree.h"
#include "tests/support/desktop_test.h"

using namespace tavrel::testing;
using namespace std::chrono_literals;

namespace {

constexpr const char* kStartDialog = "Select Communication System";
constexpr const char* kMainWindow = " LOMIRA-P/S";
constexpr unsigned kControl = 4;  // X modifier mask
constexpr unsigned long kEscape = 0xff1b;
constexpr unsigned long kTab = 0xff09;
constexpr unsigned long kRight = 0xff53;

std::string ProgramPath() {
  const char* other = std::getenv("TAVREL_ATSPI_PROGRAM");
  return other != nullptr ? other : TAVREL_PROGRAM;
}

void PrintFigures(const std::string& window, const TreeFigures& figures) {
  std::printf("figures: %-30s nodes %3d, interactive %3d, unnamed %3d, radios as check boxes %2d\n",
              ("\"" + window + "\"").c_str(), figures.nodes, figures.interactive, figures.unnamed,
              figures.checkBoxRoles);
}

// For a program that never showed its window: does it run, and what is on
// the bus.
std::string OnTheBus(ChildProcess& program) {
  const std::string pid = std::to_string(program.Pid());
  std::string text =
      "program " + pid + (program.Running() ? " running" : " ended") + "; on the bus:";
  for (const std::string& name : ProgramsOnTheBus()) text += " " + name;
  return text;
}

// What a screen reader needs of every window: a name for every control, the
// radio buttons as radio buttons within their group, names as they are
// spoken (no shortcut text, no blanks around them), and nothing hidden.
void ExpectSpeakable(const AccessibleNode& window) {
  const TreeFigures figures = CountTree(window);
  PrintFigures(window.name, figures);
  for (const AccessibleNode* node : AllNodes(window)) {
    if (!IsInteractive(*node)) continue;
    const std::string& name = node->name;
    const bool named = name.find_first_not_of(" \t") != std::string::npos;
    EXPECT_TRUE(named) << "no name: " << Describe(*node);
    EXPECT_TRUE(!named ||
                (name.find('\t') == std::string::npos && name.front() != ' ' && name.back() != ' '))
        << "name not as spoken: " << Describe(*node);
    EXPECT_TRUE(node->role != "check box" && node->role != "toggle button")
        << "a radio button in the wrong role: " << Describe(*node);
    if (node->role == "radio button") {
      EXPECT_FALSE(node->labelledBy.empty())
          << "radio button without its group: " << Describe(*node);
    }
    // Menu items live in menus that are closed; every other control in the
    // tree is one the user can see.
    if (node->role != "menu item") {
      EXPECT_TRUE(node->showing) << "hidden control in the tree: " << Describe(*node);
    }
  }
}

class AtspiTreeTest : public DesktopTest {
 protected:
  std::string ProgramPath() const override { return ::ProgramPath(); }

  // Opens a tool window with `open`, reads it, closes it with Escape.
  void ExpectToolSpeakable(const ProgramTree& program, const std::string& title, auto open) {
    SCOPED_TRACE(title);
    open();
    ASSERT_TRUE(program.WaitForWindow(title, 10s));
    const auto window = program.Window(title);
    ASSERT_TRUE(window.has_value());
    ExpectSpeakable(*window);
    TypeKey(kEscape);
    EXPECT_TRUE(program.WaitForWindowGone(title, 10s));
  }
};

TEST_F(AtspiTreeTest, StartDialogNamesEveryControl) {
  ChildProcess program = Start("tavrel", {"--simulate"});
  const ProgramTree tree(program.Pid());
  ASSERT_TRUE(tree.WaitForWindow(kStartDialog, 30s)) << OnTheBus(program);
  const auto window = tree.Window(kStartDialog);
  ASSERT_TRUE(window.has_value());
  ExpectSpeakable(*window);

  // Tab keeps the dialog's order: the checked COM port, the checked baud
  // rate, OPEN, CANCEL, the checked camera row (the library path and
  // Browse are disabled).
  std::vector<std::string> names;
  for (const AccessibleNode& stop : tree.TabStops(kStartDialog, 40)) names.push_back(stop.name);
  const auto first = std::find(names.begin(), names.end(), "COM 1");
  ASSERT_NE(first, names.end());
  std::rotate(names.begin(), first, names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"COM 1", "9600", "OPEN", "CANCEL", "KESTRA-P/S"}));
}

TEST_F(AtspiTreeTest, MainWindowAndToolsNameEveryControl) {
  // Under the service name the Interface menu holds every tool.
  ChildProcess program = Start("Marbleton service mode",
                               {"--simulate", "--connect", "com1:9600", "--model", "LOMIRA-P/S"});
  const ProgramTree tree(program.Pid());
  ASSERT_TRUE(tree.WaitForWindow(kMainWindow, 30s)) << OnTheBus(program);
  const auto window = tree.Window(kMainWindow);
  ASSERT_TRUE(window.has_value());
  ExpectSpeakable(*window);

  // The keyboard reaches the bars; every stop is spoken with its name.
  const std::vector<AccessibleNode> stops = tree.TabStops(kMainWindow, 60);
  std::string list;
  for (const AccessibleNode& stop : stops) list += "\n  " + Describe(stop);
  std::printf("figures: %zu Tab stops in the main window:%s\n", stops.size(), list.c_str());
  for (const char* bar : {"GAIN", "BLACK LEVEL"}) {
    EXPECT_TRUE(std::any_of(stops.begin(), stops.end(),
                            [bar](const AccessibleNode& stop) {
                              return stop.role == "scroll bar" && stop.name == bar;
                            }))
        << "Tab never reaches the " << bar << " bar:" << list;
  }

  // On the display, Tab goes on to GAIN and the Right arrow steps it once.
  const auto gain = std::find_if(stops.begin(), stops.end(), [](const AccessibleNode& stop) {
    return stop.role == "scroll bar" && stop.name == "GAIN";
  });
  if (gain != stops.end()) {
    ASSERT_TRUE(tree.WaitForFocused(
        kMainWindow, [&](const AccessibleNode& n) { return n.path == stops.front().path; }, 5s));
    for (auto stop = stops.begin(); stop != gain; ++stop) TypeKey(kTab);
    const auto before = tree.WaitForFocused(
        kMainWindow, [&](const AccessibleNode& n) { return n.path == gain->path; }, 5s);
    ASSERT_TRUE(before && before->value);
    TypeKey(kRight);
    const auto after = tree.WaitForFocused(
        kMainWindow,
        [&](const AccessibleNode& n) { return n.path == gain->path && n.value != before->value; },
        5s);
    ASSERT_TRUE(after.has_value()) << "Right did not move the GAIN bar";
    EXPECT_EQ(*after->value, *before->value + 1);
    EXPECT_NE(after->description, before->description);
  }

  ExpectToolSpeakable(tree, "Command Menu", [] { TypeKey('p', kControl); });
  ExpectToolSpeakable(tree, "Serial Port Selection", [] { TypeKey('l', kControl); });
  ExpectToolSpeakable(tree, "Manual Command", [&tree] {
    tree.DoAction(kMainWindow, "menu item", "Manual Command...", "Press");
  });
  ExpectToolSpeakable(tree, "About LOMIRA-S", [&tree] {
    tree.DoAction(kMainWindow, "menu item", "About TAVREL...", "Press");
  });
}

}  // namespace
