// A text that shows a value: the figure beside a scroll bar, a camera timing
// figure, an identification text. Its accessible name is the caption it
// belongs to ("GAIN"); a screen reader hears the value it shows, without its
// padding ("3.5800 dB"), as its description.
#pragma once

#include <QLabel>

namespace tavrel::panel {

class ValueText : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;
};

}  // namespace tavrel::panel
