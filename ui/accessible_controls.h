// What the program's windows tell a screen reader, through the desktop's
// accessibility interfaces. Qt's own interfaces stay where they fit; ours
// take over where they do not:
// - buttons: a radio button drawn as a push button is a radio button; every
//   button is labelled by the group boxes round it ("TRIGGER", "MODE",
//   "OFF"); its action clicks it, as the mouse does, where Qt's would only
//   check it and so show a setting the camera never got;
// - menu items: named without the shortcut shown after the tab, which is
//   their key binding instead (ui/accessible_menu_item.h).
// The control panel installs its own for its scroll bars, value texts and
// the panel itself (panel/accessible_panel.h).
#pragma once

namespace tavrel::ui {

// Installs the interfaces once for the process; later calls do nothing.
// Called before the first control of a window is made, so that no control
// is ever seen through Qt's interface first.
void InstallAccessibleControls();

}  // namespace tavrel::ui
