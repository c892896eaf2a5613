#include "app/menu_listing.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace tavrel {

QString MenuListing(const QMainWindow& window) {
  QString text;
  for (const QAction* top : window.menuBar()->actions()) {
    if (top->menu() == nullptr) continue;
    text += top->text() + QLatin1Char('\n');
    for (const QAction* item : top->menu()->actions()) {
      if (!item->isVisible()) continue;
      text += QStringLiteral("  ") + (item->isSeparator() ? QStringLiteral("-") : item->text()) +
              QLatin1Char('\n');
    }
  }
  return text;
}

}  // namespace tavrel
