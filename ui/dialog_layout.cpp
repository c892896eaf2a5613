#include "ui/dialog_layout.h"

#include <QFontMetricsF>
#include <QVariant>
#include <cmath>

#include "ui/accessible_controls.h"

namespace tavrel::ui {
namespace {

constexpr const char* kControlIdProperty = "controlId";

int ToPixels(int units, double perUnit) {
  return static_cast<int>(std::lround(units * perUnit));
}

}  // namespace

QRect DialogUnitsToPixels(int x, int y, int width, int height) {
  return QRect(ToPixels(x, kPixelsPerUnitX), ToPixels(y, kPixelsPerUnitY),
               ToPixels(width, kPixelsPerUnitX), ToPixels(height, kPixelsPerUnitY));
}

QSize DialogUnitsToPixels(int width, int height) {
  return QSize(ToPixels(width, kPixelsPerUnitX), ToPixels(height, kPixelsPerUnitY));
}

QFont DialogFont(QFont base) {
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  constexpr double kAverageWidth = 4 * kPixelsPerUnitX;
  int best = 0;
  double bestDistance = 0;
  for (int pixels = 6; pixels <= 24; ++pixels) {
    base.setPixelSize(pixels);
    const double average = QFontMetricsF(base).horizontalAdvance(letters) / letters.size();
    const double distance = std::abs(average - kAverageWidth);
    if (best == 0 || distance < bestDistance) {
      best = pixels;
      bestDistance = distance;
    }
  }
  base.setPixelSize(best);
  return base;
}

void PlaceInDialogUnits(QWidget* widget, int x, int y, int width, int height) {
  widget->setGeometry(DialogUnitsToPixels(x, y, width, height));
}

void SetControlId(QWidget* widget, int id, const QString& text) {
  // Windows tag themselves before they make their controls.
  InstallAccessibleControls();
  widget->setObjectName(QStringLiteral("id%1").arg(id));
  widget->setProperty(kControlIdProperty, id);
  if (!text.isEmpty()) widget->setAccessibleName(text);
}

int ControlId(const QWidget* widget) {
  const QVariant id = widget->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : -1;
}

QWidget* FindControl(const QWidget* root, int id) {
  return root->findChild<QWidget*>(QStringLiteral("id%1").arg(id));
}

}  // namespace tavrel::ui
