#include "panel/accessible_panel.h"

#include <QAccessibleWidget>
#include <QLabel>

#include "panel/panel_bindings.h"
#include "panel/panel_ids.h"
#include "panel/stepping_scroll_bar.h"
#include "panel/value_text.h"
#include "ui/accessible_labels.h"
#include "ui/dialog_layout.h"

namespace tavrel::panel {
namespace {

class BarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit BarAccessible(SteppingScrollBar* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Description || kind == QAccessible::Value) {
      const QLabel* valueText = ValueTextOf();
      if (valueText != nullptr) return valueText->text().trimmed();
    }
    return QAccessibleWidget::text(kind);
  }

  ui::Relations relations(QAccessible::Relation match) const override {
    return ui::WithGroupLabels(widget(), match, QAccessibleWidget::relations(match));
  }

  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << increaseAction() << decreaseAction();
    return names + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& action) override {
    if (action != increaseAction() && action != decreaseAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    if (!widget()->isEnabled()) return;
    const auto step = action == increaseAction() ? QAbstractSlider::SliderSingleStepAdd
                                                 : QAbstractSlider::SliderSingleStepSub;
    // A line step, as an arrow click makes it, once the screen reader's
    // request has been answered (a refused write shows a box).
    SteppingScrollBar* bar = Bar();
    QMetaObject::invokeMethod(
        bar, [bar, step] { bar->triggerAction(step); }, Qt::QueuedConnection);
  }

  QVariant currentValue() const override { return Bar()->value(); }
  // The bar shows what the camera holds; only its own steps change that.
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return Bar()->maximum(); }
  QVariant minimumValue() const override { return Bar()->minimum(); }
  QVariant minimumStepSize() const override { return Bar()->singleStep(); }

 private:
  SteppingScrollBar* Bar() const { return static_cast<SteppingScrollBar*>(widget()); }
  const QLabel* ValueTextOf() const {
    const BarBinding* binding = FindBarBinding(ui::ControlId(widget()));
    if (binding == nullptr || widget()->parentWidget() == nullptr) return nullptr;
    return ui::FindControlAs<QLabel>(widget()->parentWidget(), binding->textId);
  }
};

class ValueTextAccessible : public QAccessibleWidget {
 public:
  explicit ValueTextAccessible(ValueText* text)
      : QAccessibleWidget(text, QAccessible::StaticText) {}

  QString text(QAccessible::Text kind) const override {
    const QString value = static_cast<const QLabel*>(widget())->text().trimmed();
    switch (kind) {
      case QAccessible::Name: {
        const QString caption = widget()->accessibleName();
        return caption.isEmpty() ? value : caption;
      }
      case QAccessible::Description:
      case QAccessible::Value:
        return value;
      default:
        return QAccessibleWidget::text(kind);
    }
  }
};

// The panel keeps the service controls and the back-up button hidden for
// good; they are no part of what the user can reach.
class FormAccessible : public QAccessibleWidget {
 public:
  explicit FormAccessible(QWidget* form) : QAccessibleWidget(form) {}

  int childCount() const override { return static_cast<int>(Shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = Shown();
    if (index < 0 || index >= shown.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(shown.at(index));
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    return static_cast<int>(Shown().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child != nullptr && !child->isWindow() && !child->isHidden()) shown << child;
    }
    return shown;
  }
};

// The interface for one of the panel's bars, value texts or the panel
// itself; null for anything else.
QAccessibleInterface* PanelAccessible(const QString& /*className*/, QObject* object) {
  if (auto* bar = qobject_cast<SteppingScrollBar*>(object)) return new BarAccessible(bar);
  if (auto* text = qobject_cast<ValueText*>(object)) return new ValueTextAccessible(text);
  auto* form = qobject_cast<QWidget*>(object);
  if (form != nullptr && ui::ControlId(form) == kFormTemplateId) return new FormAccessible(form);
  return nullptr;
}

}  // namespace

void InstallAccessiblePanel() {
  static const bool installed = [] {
    QAccessible::installFactory(PanelAccessible);
    return true;
  }();
  (void)installed;
}

}  // namespace tavrel::panel
