// "Other device…" of a COM button's menu: asks for the path of the device
// the COM port stands for, a serial device that was not found (or is not
// plugged in yet) or any terminal, such as a pseudo-terminal.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;

namespace tavrel {

class COtherDeviceDlg : public QDialog {
  Q_OBJECT

 public:
  // Shows `current` at first; the devices found are offered as the user
  // types.
  COtherDeviceDlg(int port, const QString& current, const QStringList& found,
                  QWidget* parent = nullptr);

  // The path typed, without blanks around it.
  QString DevicePath() const;
  QLineEdit* PathEdit() const { return m_path; }

 private:
  QLineEdit* m_path = nullptr;
};

}  // namespace tavrel
