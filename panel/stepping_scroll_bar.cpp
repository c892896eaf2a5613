#include "panel/stepping_scroll_bar.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

namespace tavrel::panel {

SteppingScrollBar::SteppingScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
  // Tab reaches the bar in the form's order, and a click on it gives it the
  // keys as well.
  setFocusPolicy(Qt::StrongFocus);
}

QAbstractSlider::SliderAction SteppingScrollBar::KeyAction(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      return SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
      return SliderSingleStepAdd;
    case Qt::Key_PageUp:
      return SliderPageStepSub;
    case Qt::Key_PageDown:
      return SliderPageStepAdd;
    case Qt::Key_Home:
      return SliderToMinimum;
    case Qt::Key_End:
      return SliderToMaximum;
    default:
      return SliderNoAction;
  }
}

void SteppingScrollBar::keyPressEvent(QKeyEvent* event) {
  const SliderAction action = KeyAction(event->key());
  if (action == SliderNoAction) {
    QScrollBar::keyPressEvent(event);
    return;
  }
  event->accept();
  // The keyboard's own repeats of a held key are no steps: they pile up
  // while a write blocks and would run on after the key is let go. The
  // bar's timer repeats instead.
  if (event->isAutoRepeat()) return;
  m_keyRepeat.stop();
  m_heldKey = event->key();
  m_keyAction = action;
  triggerAction(action);
  // A refused step has ended the press already; the ends never repeat.
  const bool steps = action != SliderToMinimum && action != SliderToMaximum;
  if (m_heldKey == event->key() && steps) m_keyRepeat.start(kRepeatDelayMs, this);
}

void SteppingScrollBar::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat() && event->key() == m_heldKey) EndKeyPress();
  QScrollBar::keyReleaseEvent(event);
}

void SteppingScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  // The panel ends a press whose write was refused by telling the bar that
  // the button is up; that ends a key's press as well.
  EndKeyPress();
  QScrollBar::mouseReleaseEvent(event);
}

void SteppingScrollBar::focusInEvent(QFocusEvent* event) {
  QScrollBar::focusInEvent(event);
  update();
}

void SteppingScrollBar::focusOutEvent(QFocusEvent* event) {
  // A key let go elsewhere is never seen here.
  EndKeyPress();
  QScrollBar::focusOutEvent(event);
  update();
}

void SteppingScrollBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) EndKeyPress();
  QScrollBar::changeEvent(event);
}

void SteppingScrollBar::timerEvent(QTimerEvent* event) {
  if (event->timerId() != m_keyRepeat.timerId()) {
    QScrollBar::timerEvent(event);
    return;
  }
  m_keyRepeat.start(kRepeatIntervalMs, this);
  triggerAction(m_keyAction);
}

void SteppingScrollBar::paintEvent(QPaintEvent* event) {
  QScrollBar::paintEvent(event);
  if (!hasFocus()) return;
  // The focus is drawn round the thumb, as the style draws it elsewhere
  // (once the keyboard has moved it).
  QStyleOptionSlider bar;
  initStyleOption(&bar);
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.rect =
      style()->subControlRect(QStyle::CC_ScrollBar, &bar, QStyle::SC_ScrollBarSlider, this);
  QPainter painter(this);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void SteppingScrollBar::EndKeyPress() {
  m_heldKey = 0;
  m_keyRepeat.stop();
}

}  // namespace tavrel::panel
