// Keeps the keyboard with the program's windows where no window manager
// hands it round (a bare X session on the camera's PC): there a window
// shown would not take it, and a window closed would leave it nowhere, so a
// keyboard user could reach nothing more. A window of the program takes the
// keyboard when it is shown, as windows do on the platform the program was
// first written for, and one that closes while it has it hands it back to
// the window it belongs to. Under a window manager this asks for nothing the
// manager would not do itself.
#pragma once

#include <QObject>

namespace tavrel {

class KeyboardOwner : public QObject {
  Q_OBJECT

 public:
  // Watches every window of the application from now on.
  explicit KeyboardOwner(QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tavrel
