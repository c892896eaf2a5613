// A menu item as a screen reader hears it. The menus keep the shortcut in
// the item's text after a tab, as it is shown at the right of the item
// ("&Open...\tCtrl+O", "Seria&l Port...\tCtrl+L "); the item's name is only
// the part before it ("Open..."), and the shortcut is its key binding.
#pragma once

class QAccessibleInterface;
class QAction;

namespace tavrel::ui {

// The interface for an item of a menu or the menu bar; null for an action
// that is in neither.
QAccessibleInterface* MenuItemAccessible(QAction* action);

}  // namespace tavrel::ui
