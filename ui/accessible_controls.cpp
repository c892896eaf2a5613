#include "ui/accessible_controls.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

#include "ui/accessible_labels.h"
#include "ui/accessible_menu_item.h"

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
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  static const bool installed = [] {
    QAccessible::installFactory(ControlAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace tavrel::ui
