#include "panel/accessible_controls.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "panel/accessible_menu_item.h"
#include "panel/accessible_panel.h"

namespace tavrel::ui {
namespace {

// A checkable button that unchecks the others of its group when checked.
bool IsRadio(const QAbstractButton* button) {
  if (qobject_cast<const QRadioButton*>(button) != nullptr) return true;
  const QButtonGroup* group = button->group();
  return button->autoExclusive() || (group != nullptr && group->exclusive());
}

class ButtonAccessible : public QAccessibleWidget {
 public:
  explicit ButtonAccessible(QAbstractButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QAccessible::Role role() const override {
    if (!Button()->isCheckable()) return QAccessible::Button;
    return IsRadio(Button()) ? QAccessible::RadioButton : QAccessible::CheckBox;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    const QAbstractButton* button = Button();
    if (button->isCheckable()) {
      state.checkable = true;
      state.checked = button->isChecked();
    }
    state.pressed = button->isDown();
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
      state.defaultButton = push->isDefault();
    }
    return state;
  }

  QString text(QAccessible::Text kind) const override {
    if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
    const QString name = widget()->accessibleName();
    return SpokenText(name.isEmpty() ? Button()->text() : name);
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << pressAction();
    return names + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& action) override {
    if (action != pressAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    // A click, as the mouse makes it, so the button does what a click does.
    // It comes a moment later: the screen reader's request is answered
    // first, even when the click opens a dialog.
    if (widget()->isEnabled()) Button()->animateClick();
  }

  QStringList keyBindingsForAction(const QString& action) const override {
    if (action != pressAction() || Button()->shortcut().isEmpty()) return {};
    return {Button()->shortcut().toString(QKeySequence::NativeText)};
  }

  Relations relations(QAccessible::Relation match) const override {
    return WithGroupLabels(widget(), match, QAccessibleWidget::relations(match));
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* ControlAccessible(const QString& /*className*/, QObject* object) {
  if (auto* action = qobject_cast<QAction*>(object)) return MenuItemAccessible(action);
  // Tool buttons (the up-down control's arrows) keep Qt's interface.
  auto* button = qobject_cast<QAbstractButton*>(object);
  if (qobject_cast<QPushButton*>(button) || qobject_cast<QRadioButton*>(button)) {
    return new ButtonAccessible(button);
  }
  return panel::PanelAccessible(object);
}

}  // namespace

void InstallAccessibleControls() {
  static const bool installed = [] {
    QAccessible::installFactory(ControlAccessible);
    return true;
  }();
  (void)installed;
}

QString SpokenText(const QString& caption) {
  QString text;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) {
      text += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
      text += caption[++i];  // "&&" is a shown "&"
    }
  }
  return text.trimmed();
}

Relations WithGroupLabels(const QWidget* control, QAccessible::Relation match,
                          const Relations& others) {
  if (!(match & QAccessible::Label)) return others;
  // Collected from the control outwards, the innermost first, and turned
  // round at the end.
  QList<QGroupBox*> boxes;
  const QWidget* inner = control;
  while (const QWidget* parent = inner->parentWidget()) {
    QList<QGroupBox*> around;
    for (QObject* child : parent->children()) {
      auto* box = qobject_cast<QGroupBox*>(child);
      if (box != nullptr && box != inner && !box->isHidden() &&
          box->geometry().contains(inner->geometry())) {
        around << box;
      }
    }
    std::sort(around.begin(), around.end(), [](const QGroupBox* a, const QGroupBox* b) {
      const QSize sa = a->size(), sb = b->size();
      return sa.width() * sa.height() < sb.width() * sb.height();
    });
    boxes << around;
    auto* box = qobject_cast<QGroupBox*>(const_cast<QWidget*>(parent));
    if (box == nullptr) break;
    boxes << box;
    inner = parent;
  }
  Relations relations;
  for (auto it = boxes.crbegin(); it != boxes.crend(); ++it) {
    if ((*it)->title().isEmpty()) continue;
    if (QAccessibleInterface* box = QAccessible::queryAccessibleInterface(*it)) {
      relations << qMakePair(box, QAccessible::Label);
    }
  }
  for (const auto& relation : others) {
    if (!relations.contains(relation)) relations << relation;
  }
  return relations;
}

}  // namespace tavrel::ui
