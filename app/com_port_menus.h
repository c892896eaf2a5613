// The COM buttons of the link dialogs say which device each stands for (in
// its tooltip) and let the user choose another one without editing files:
// a context menu (right click, the Menu key, Shift+F10) with the serial
// devices found, "Other device…" and the default. A choice is kept in the
// user's profile (model/com_port_directory.h). The buttons themselves, their
// texts and places stay as they are.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include "app/dialog_runner.h"

class QAbstractButton;

namespace tavrel {

class ComPortDirectory;

struct ComPortMenuServices {
  // Where the COM ports lead and are kept. Not owned; must outlive the
  // dialog.
  const ComPortDirectory* directory = nullptr;
  // Runs the "Other device…" prompt and the box for a choice that could not
  // be kept (QDialog::exec unless a test drives them).
  DialogRunner runDialog;
  // Adds "Find Camera" to every menu: findCameraRequested() is emitted.
  bool offerFindCamera = false;
};

class ComPortMenus : public QObject {
  Q_OBJECT

 public:
  ComPortMenus(ComPortMenuServices services, QObject* parent);

  // `button` stands for COM `port` from now on.
  void Attach(QAbstractButton* button, int port);

  // The menu shown last while it is open, else null.
  QMenu* OpenMenu() const { return m_menu; }

  // "COM1: /dev/ttyS0 (default)" and how to choose another.
  QString ToolTipFor(int port) const;

 signals:
  void findCameraRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows the menu without waiting for it: the choice arrives by signal.
  void ShowMenu(QAbstractButton* button, const QPoint& globalPosition);
  void Choose(QAbstractButton* button, const QString& devicePath);
  void ChooseOther(QAbstractButton* button);
  void UpdateToolTip(QAbstractButton* button);

  ComPortMenuServices m_services;
  QPointer<QMenu> m_menu;
};

}  // namespace tavrel
