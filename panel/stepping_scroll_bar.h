// A panel scroll bar that the keyboard drives as the mouse does: it takes
// the focus in the form's order and shows it, an arrow key is one line step,
// Page Up and Page Down one page step, Home and End ask for the ends. Each
// step is one action of the bar, so it reaches the panel by the same path as
// a click on an arrow or the trough. A held key repeats as a held arrow
// does: after the bar's first step, on its own timer, never queued behind a
// slow camera.
#pragma once

#include <QBasicTimer>
#include <QScrollBar>

namespace tavrel::panel {

class SteppingScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  // The delay before a held key repeats and the interval of its repeats, as
  // a held arrow of the bar repeats.
  static constexpr int kRepeatDelayMs = 500;
  static constexpr int kRepeatIntervalMs = 50;

  explicit SteppingScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  // The bar's action for a key, or SliderNoAction for a key it leaves alone.
  static SliderAction KeyAction(int key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void EndKeyPress();

  int m_heldKey = 0;  // the key whose press is under way, 0 for none
  SliderAction m_keyAction = SliderNoAction;
  QBasicTimer m_keyRepeat;
};

}  // namespace tavrel::panel
