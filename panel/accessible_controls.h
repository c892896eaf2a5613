// What the program's windows tell a screen reader, through the desktop's
// accessibility interfaces. Qt's own interfaces stay where they fit; ours
// take over where they do not:
// - buttons: a radio button drawn as a push button is a radio button; every
//   button is labelled by the group boxes round it ("TRIGGER", "MODE",
//   "OFF"); its action clicks it, as the mouse does, where Qt's would only
//   check it and so show a setting the camera never got;
// - menu items: named without the shortcut shown after the tab, which is
//   their key binding instead;
// - the panel's scroll bars, value texts and the panel itself
//   (panel/accessible_panel.h).
#pragma once

#include <QAccessible>
#include <QList>
#include <QPair>
#include <QString>

class QWidget;

namespace tavrel::ui {

// Installs the interfaces once for the process; later calls do nothing.
// Called before the first control of a window is made, so that no control
// is ever seen through Qt's interface first.
void InstallAccessibleControls();

// A caption as it is spoken: without its mnemonic marks ("&Open" is "Open")
// and without blanks round it.
QString SpokenText(const QString& caption);

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

// The relations of `control` that `match` asks for: when they include
// labels, first the group boxes round it, the outermost first (its parent
// boxes and the boxes beside it whose frame holds it, as the forms draw
// their boxes behind the controls), then those of `others` not among them.
Relations WithGroupLabels(const QWidget* control, QAccessible::Relation match,
                          const Relations& others);

}  // namespace tavrel::ui
