#include "app/serial_port_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
CSerialPortDlg::CSerialPortDlg(int port, int baud, QWidget* parent)
    : QDialog(parent), m_nPort(port), m_nBaud(baud) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Serial Port Selection"), 187, 93);

  m_com1 = ui::MakeControl<QRadioButton>(this, kIdCom1, QStringLiteral("COM1"), 18, 22, 50, 10);
  m_com2 = ui::MakeControl<QRadioButton>(this, kIdCom2, QStringLiteral("COM2"), 18, 38, 50, 10);
  m_baud19200 =
      ui::MakeControl<QRadioButton>(this, kIdBaud19200, QStringLiteral("19200"), 92, 22, 50, 10);
  auto* baud9600 =
      ui::MakeControl<QRadioButton>(this, kIdBaud9600, QStringLiteral("9600"), 92, 38, 50, 10);
  auto* ok = ui::MakeControl<QPushButton>(this, kIdOk, QStringLiteral("OK"), 24, 70, 56, 15);
  auto* cancel =
      ui::MakeControl<QPushButton>(this, kIdCancel, QStringLiteral("CANCEL"), 106, 70, 56, 15);
  ok->setDefault(true);
  cancel->setAutoDefault(false);
  auto* portBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("Port"), 10, 8, 70, 50);
  auto* baudBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("Baud Rate"), 84, 8, 90, 50);
  portBox->lower();
  baudBox->lower();

  auto* ports = new QButtonGroup(this);
  ports->addButton(m_com1);
  ports->addButton(m_com2);
  auto* bauds = new QButtonGroup(this);
  bauds->addButton(m_baud19200);
  bauds->addButton(baud9600);
  // The line always runs at the rate it was opened with.
  m_baud19200->setEnabled(false);
  baud9600->setEnabled(false);

  (m_nPort == 2 ? m_com2 : m_com1)->setChecked(true);
  (m_nBaud == 19200 ? m_baud19200 : baud9600)->setChecked(true);

  connect(ok, &QPushButton::clicked, this, &CSerialPortDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CSerialPortDlg::reject);
}

void CSerialPortDlg::OfferComPortMenus(ComPortMenuServices services) {
  auto* menus = new ComPortMenus(std::move(services), this);
  menus->Attach(m_com1, 1);
  menus->Attach(m_com2, 2);
}

void CSerialPortDlg::accept() {
  m_nPort = m_com2->isChecked() ? 2 : 1;
  m_nBaud = m_baud19200->isChecked() ? 19200 : 9600;
  QDialog::accept();
}

}  // namespace tavrel
