// What a control is called and labelled by, for screen readers: shared by
// the program's accessible interfaces (ui/accessible_controls.h,
// ui/accessible_menu_item.h, panel/accessible_panel.h).
#pragma once

#include <QAccessible>
#include <QList>
#include <QPair>
#include <QString>

class QWidget;

namespace tavrel::ui {

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
