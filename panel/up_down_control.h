// An up-down control: a pair of arrow buttons that hold no number of their
// own and only report a step. Tied to a buddy edit, it sits at the edit's
// right edge and also steps on the Up and Down keys typed in the edit; what
// a step does to the edit's text is the owner's business.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tavrel::panel {

class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);

  // Ties the control to `buddy` (not owned; a sibling on the same form) and
  // moves it to the buddy's right edge, as tall as the buddy.
  void SetBuddy(QLineEdit* buddy);
  QLineEdit* Buddy() const { return m_buddy; }

  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

 signals:
  // The change-position notification: +1 for up, -1 for down.
  void deltaPos(int delta);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* m_up;
  QToolButton* m_down;
  QLineEdit* m_buddy = nullptr;
};

}  // namespace tavrel::panel
