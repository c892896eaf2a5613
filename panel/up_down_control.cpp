#include "panel/up_down_control.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace tavrel::panel {
namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAccessibleName(name);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::NoFocus);
  // Held down, the arrow keeps stepping, as a spin control's arrows do.
  button->setAutoRepeat(true);
  return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent),
      m_up(ArrowButton(Qt::UpArrow, QStringLiteral("up"), this)),
      m_down(ArrowButton(Qt::DownArrow, QStringLiteral("down"), this)) {
  connect(m_up, &QToolButton::clicked, this, [this] { emit deltaPos(1); });
  connect(m_down, &QToolButton::clicked, this, [this] { emit deltaPos(-1); });
}

void UpDownControl::SetBuddy(QLineEdit* buddy) {
  if (m_buddy != nullptr) m_buddy->removeEventFilter(this);
  m_buddy = buddy;
  if (m_buddy == nullptr) return;
  m_buddy->installEventFilter(this);
  const QRect edit = m_buddy->geometry();
  setGeometry(edit.right() + 1, edit.top(), width(), edit.height());
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_buddy && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      emit deltaPos(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int upper = height() / 2;
  m_up->setGeometry(0, 0, width(), upper);
  m_down->setGeometry(0, upper, width(), height() - upper);
}

}  // namespace tavrel::panel
