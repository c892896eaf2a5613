// Finds the texts a window shows cut off: a caption wider than the room its
// control draws it in, or one that runs past the inside of the group box
// around it. Measured with the font each control draws with, as laid out.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <utility>

namespace tavrel::testing {

namespace clipped_texts_detail {

// Where the control draws its caption, in its own coordinates; empty when it
// has none.
inline QRect CaptionRoom(const QWidget& control, QString* text) {
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    if (label->wordWrap() || label->textFormat() == Qt::RichText) return {};
    *text = label->text();
    const int margin = label->margin();
    QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    // A framed label indents its text by half an "x" on its aligned side.
    if (label->indent() < 0 && label->frameWidth() > 0) {
      const int indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
      if ((label->alignment() & Qt::AlignRight) != 0) room.setRight(room.right() - indent);
      if ((label->alignment() & Qt::AlignLeft) != 0) room.setLeft(room.left() + indent);
    }
    return room;
  }
  const auto* button = qobject_cast<const QAbstractButton*>(&control);
  if (button == nullptr) return {};
  *text = button->text();
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.rect = button->rect();
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QRadioButton*>(button) != nullptr) {
    contents = QStyle::SE_RadioButtonContents;
  } else if (qobject_cast<const QCheckBox*>(button) != nullptr) {
    contents = QStyle::SE_CheckBoxContents;
  } else if (const auto* push = qobject_cast<const QPushButton*>(button)) {
    if (push->autoDefault() || push->isDefault()) {
      option.features |= QStyleOptionButton::AutoDefaultButton;
    }
  }
  return button->style()->subElementRect(contents, &option, button);
}

// The caption's extent within its room, by the control's alignment.
inline QRect CaptionExtent(const QWidget& control, const QRect& room, int width) {
  Qt::Alignment alignment = Qt::AlignLeft;
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    alignment = label->alignment();
  } else if (qobject_cast<const QPushButton*>(&control) != nullptr) {
    alignment = Qt::AlignHCenter;
  }
  QRect extent(room.left(), room.top(), width, room.height());
  if ((alignment & Qt::AlignRight) != 0) extent.moveRight(room.right());
  if ((alignment & Qt::AlignHCenter) != 0) extent.moveLeft(room.center().x() - width / 2);
  return extent;
}

// The inside of a group box, in its parent's coordinates.
inline QRect Inside(const QGroupBox& box) {
  return box.contentsRect().translated(box.pos());
}

}  // namespace clipped_texts_detail

// "text (object name): why" for every caption under `root` that does not show
// whole; empty when all do. Hidden controls are measured too.
inline QStringList ClippedTexts(const QWidget& root) {
  using namespace clipped_texts_detail;
  QStringList found;
  const QList<QWidget*> controls = root.findChildren<QWidget*>();
  for (const QWidget* control : controls) {
    QString text;
    const QRect room = CaptionRoom(*control, &text);
    text.remove(QLatin1Char('&'));  // a mnemonic marker takes no room
    if (text.trimmed().isEmpty() || text.contains(QLatin1Char('\n'))) continue;
    const int width = control->fontMetrics().horizontalAdvance(text);
    const QRect extent = CaptionExtent(*control, room, width);
    const QString name = QStringLiteral("\"%1\" (%2)").arg(text, control->objectName());
    if (width > room.width()) {
      found << QStringLiteral("%1: %2 pixels wide in %3").arg(name).arg(width).arg(room.width());
      continue;
    }
    // A caption that reaches into the frame of the group box it lies in.
    const QWidget* parent = control->parentWidget();
    const QRect placed = extent.translated(control->pos());
    for (const QGroupBox* box : parent->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
      if (box == control || !box->geometry().contains(control->geometry().center())) continue;
      const QRect inside = Inside(*box);
      if (placed.left() < inside.left() || placed.right() > inside.right()) {
        found << QStringLiteral("%1: runs into the frame of \"%2\"").arg(name, box->title());
      }
    }
  }
  return found;
}

// "text and text: ..." for every two labels under `root` whose texts, side
// by side on one line, come closer than a blank's width (so they read as one
// text); empty when none do.
inline QStringList TouchingTexts(const QWidget& root) {
  using namespace clipped_texts_detail;
  struct Placed {
    const QLabel* label;
    QRect extent;  // in the parent's coordinates
  };
  QList<Placed> placed;
  for (const QLabel* label : root.findChildren<QLabel*>()) {
    if (!label->isVisibleTo(&root)) continue;
    QString text;
    const QRect room = CaptionRoom(*label, &text);
    if (text.trimmed().isEmpty() || text.contains(QLatin1Char('\n'))) continue;
    const int width = label->fontMetrics().horizontalAdvance(text);
    placed.append({label, CaptionExtent(*label, room, width).translated(label->pos())});
  }
  QStringList found;
  for (qsizetype i = 0; i < placed.size(); ++i) {
    for (qsizetype j = i + 1; j < placed.size(); ++j) {
      const Placed* left = &placed[i];
      const Placed* right = &placed[j];
      if (left->label->parentWidget() != right->label->parentWidget()) continue;
      if (left->extent.bottom() < right->extent.top() ||
          right->extent.bottom() < left->extent.top()) {
        continue;  // not on one line
      }
      if (right->extent.left() < left->extent.left()) std::swap(left, right);
      const int gap = right->extent.left() - left->extent.right() - 1;
      if (gap < left->label->fontMetrics().horizontalAdvance(QLatin1Char(' '))) {
        found << QStringLiteral("\"%1\" and \"%2\": %3 pixels apart")
                     .arg(left->label->text(), right->label->text())
                     .arg(gap);
      }
    }
  }
  return found;
}

}  // namespace tavrel::testing
