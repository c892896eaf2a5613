#include "ui/accessible_labels.h"

#include <QGroupBox>
#include <QWidget>
#include <algorithm>

namespace tavrel::ui {

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
