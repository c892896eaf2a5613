// Where a part of a scroll bar (arrow, trough, thumb) is on the screen, for
// tests that click it as a user does.
#pragma once

#include <QPoint>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tavrel::testing {

inline QPoint PartCentre(const QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

}  // namespace tavrel::testing
