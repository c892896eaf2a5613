// "Serial Port Selection": reopens the serial link on COM1 or COM2. The baud
// rate buttons are shown but cannot be changed.
#pragma once

#include <QDialog>

#include "app/com_port_menus.h"

class QRadioButton;

namespace tavrel {

struct SerialPortChoice {
  int port = 1;     // 1 or 2
  int baud = 9600;  // 9600 or 19200
};

class CSerialPortDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDialogId = 133;
  static constexpr int kIdCom1 = 1100;
  static constexpr int kIdCom2 = 1101;
  static constexpr int kIdBaud9600 = 1102;
  static constexpr int kIdBaud19200 = 1103;
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;

  // Opens on the link's current port and baud rate.
  CSerialPortDlg(int port, int baud, QWidget* parent = nullptr);

  SerialPortChoice Choice() const { return {m_nPort, m_nBaud}; }

  // The COM buttons say which device each stands for and offer the devices
  // found in a context menu (app/com_port_menus.h).
  void OfferComPortMenus(ComPortMenuServices services);

  void accept() override;

 private:
  int m_nPort = 1;
  int m_nBaud = 9600;

  QRadioButton* m_com1 = nullptr;
  QRadioButton* m_com2 = nullptr;
  QRadioButton* m_baud19200 = nullptr;
};

}  // namespace tavrel
