// Laying out forms and dialogs from dialog units, and finding their controls
// by numeric identifier (tests and accessibility rely on the identifiers).
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tavrel::ui {

// The dialogs were drawn in dialog units of an 8-point sans-serif font: one
// unit is 1.5 pixels wide and 1.625 pixels high.
inline constexpr double kPixelsPerUnitX = 1.5;
inline constexpr double kPixelsPerUnitY = 1.625;

QRect DialogUnitsToPixels(int x, int y, int width, int height);
QSize DialogUnitsToPixels(int width, int height);

// The font forms and dialogs are drawn in: `base`'s family at the pixel size
// whose average character width (over A-Z and a-z, as dialog units are
// measured) comes nearest four horizontal units, the width the units stand
// for. So a family wider or narrower than the one the layouts were drawn for
// still fills its controls as they were drawn, and captions fit them.
QFont DialogFont(QFont base);

// Places `widget` at a rectangle given in dialog units within its parent.
void PlaceInDialogUnits(QWidget* widget, int x, int y, int width, int height);

// Tags `widget` with its control identifier (object name "id<N>", property
// "controlId") and makes `text` its accessible name. The first tag installs
// the program's accessible interfaces (ui/accessible_controls.h).
void SetControlId(QWidget* widget, int id, const QString& text = QString());
int ControlId(const QWidget* widget);  // -1 when untagged

// The descendant of `root` with the identifier, or null.
QWidget* FindControl(const QWidget* root, int id);
template <typename T>
T* FindControlAs(const QWidget* root, int id) {
  return qobject_cast<T*>(FindControl(root, id));
}

}  // namespace tavrel::ui
