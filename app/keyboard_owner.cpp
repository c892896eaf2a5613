#include "app/keyboard_owner.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace tavrel {
namespace {

// A window the user works in: not a menu, tool tip or splash, nor one that
// asks to be shown without the keyboard.
bool TakesKeyboard(const QWidget* window) {
  switch (window->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
      return !window->testAttribute(Qt::WA_ShowWithoutActivating);
    default:
      return false;
  }
}

// Where the keyboard goes when `closing` closes: the window it belongs to,
// or else another window of the program that is shown.
QWidget* NextOwner(const QWidget* closing) {
  if (QWidget* parent = closing->parentWidget()) {
    QWidget* window = parent->window();
    if (window->isVisible()) return window;
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != closing && window->isVisible() && TakesKeyboard(window)) return window;
  }
  return nullptr;
}

}  // namespace

KeyboardOwner::KeyboardOwner(QObject* parent) : QObject(parent) {
  qApp->installEventFilter(this);
}

bool KeyboardOwner::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::Show && type != QEvent::Hide) return false;
  auto* window = qobject_cast<QWidget*>(watched);
  if (window == nullptr || !window->isWindow() || !TakesKeyboard(window)) return false;
  if (type == QEvent::Show) {
    window->activateWindow();
  } else if (QApplication::activeWindow() == nullptr || QApplication::activeWindow() == window) {
    // The closing window had the keyboard (the platform may have taken it
    // already, leaving it with no window at all).
    if (QWidget* next = NextOwner(window)) next->activateWindow();
  }
  return false;
}

}  // namespace tavrel
