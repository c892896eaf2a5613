#include "ui/accessible_menu_item.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QWindow>

#include "ui/accessible_labels.h"

namespace tavrel::ui {
namespace {

QRect ItemRect(QWidget* owner, QAction* action) {
  QRect rect;
  if (auto* bar = qobject_cast<QMenuBar*>(owner)) rect = bar->actionGeometry(action);
  if (auto* menu = qobject_cast<QMenu*>(owner)) rect = menu->actionGeometry(action);
  return rect.translated(owner->mapToGlobal(QPoint(0, 0)));
}

QAction* ActiveAction(QWidget* owner) {
  if (auto* bar = qobject_cast<QMenuBar*>(owner)) return bar->activeAction();
  if (auto* menu = qobject_cast<QMenu*>(owner)) return menu->activeAction();
  return nullptr;
}

class MenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  MenuItem(QAction* action, QWidget* owner) : m_action(action), m_owner(owner) {}

  bool isValid() const override { return m_action && m_owner; }
  QObject* object() const override { return m_action; }
  QWindow* window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(m_owner);
  }
  // The item of a menu bar holds its menu.
  int childCount() const override { return m_action->menu() != nullptr ? 1 : 0; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(m_action->menu()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == m_action->menu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    QAccessibleInterface* menu = child(0);
    return menu != nullptr && menu->rect().contains(x, y) ? menu : nullptr;
  }
  QRect rect() const override { return ItemRect(m_owner, m_action); }

  QAccessible::Role role() const override {
    return m_action->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !m_owner->isVisible() || !m_action->isVisible();
    state.focused = ActiveAction(m_owner) == m_action;
    state.hotTracked = m_owner->style()->styleHint(QStyle::SH_Menu_MouseTracking, nullptr, m_owner);
    state.disabled = m_action->isSeparator() || !m_action->isEnabled();
    state.checkable = m_action->isCheckable();
    state.checked = m_action->isChecked();
    state.hasPopup = m_action->menu() != nullptr;
    return state;
  }
  QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Name:
        return SpokenText(m_action->text().section(QLatin1Char('\t'), 0, 0));
      case QAccessible::Accelerator:
        return Shortcut();
      case QAccessible::Description:
        return m_action->statusTip();
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override {
    if (m_action->isSeparator()) return {};
    return {m_action->menu() != nullptr ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (!m_action->isEnabled()) return;
    if (name == pressAction()) {
      // The command runs once the screen reader's request has been
      // answered, so a dialog it opens does not hold the request.
      QMetaObject::invokeMethod(m_action, &QAction::trigger, Qt::QueuedConnection);
    } else if (name == showMenuAction()) {
      if (m_action->menu()->isVisible()) {
        m_action->menu()->hide();
      } else if (auto* bar = qobject_cast<QMenuBar*>(m_owner)) {
        bar->setActiveAction(m_action);
      } else if (auto* menu = qobject_cast<QMenu*>(m_owner)) {
        menu->setActiveAction(m_action);
      }
    }
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    const QString shortcut = Shortcut();
    if (name != pressAction() || shortcut.isEmpty()) return {};
    return {shortcut};
  }

 private:
  // What the menu shows at the right of the item: the text after the tab,
  // or the action's own shortcut.
  QString Shortcut() const {
    const QString shown = m_action->text().section(QLatin1Char('\t'), 1).trimmed();
    if (!shown.isEmpty()) return shown;
    return m_action->shortcut().toString(QKeySequence::NativeText);
  }

  QPointer<QAction> m_action;
  QPointer<QWidget> m_owner;
};

}  // namespace

QAccessibleInterface* MenuItemAccessible(QAction* action) {
  for (QObject* object : action->associatedObjects()) {
    auto* owner = qobject_cast<QWidget*>(object);
    const bool menu = qobject_cast<QMenu*>(object) || qobject_cast<QMenuBar*>(object);
    if (menu && owner->actions().contains(action)) return new MenuItem(action, owner);
  }
  return nullptr;
}

}  // namespace tavrel::ui
