#include "app/serial_port_dlg.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

using D = CSerialPortDlg;
using ui::DefaultButton;
using ui::GroupBox;
using ui::PushButton;
using ui::Radio;

// Dialog 133 in tab order, the group boxes first.
constexpr ui::FormControl kForm[] = {
    {0, GroupBox, u"Port", 10, 8, 70, 50},
    {0, GroupBox, u"Baud Rate", 84, 8, 90, 50},
    {D::kIdCom1, Radio, u"COM1", 18, 22, 50, 10},
    {D::kIdCom2, Radio, u"COM2", 18, 38, 50, 10},
    {D::kIdBaud19200, Radio, u"19200", 92, 22, 50, 10},
    {D::kIdBaud9600, Radio, u"9600", 92, 38, 50, 10},
    {D::kIdOk, DefaultButton, u"OK", 24, 70, 56, 15},
    {D::kIdCancel, PushButton, u"CANCEL", 106, 70, 56, 15},
};

}  // namespace

CSerialPortDlg::CSerialPortDlg(int port, int baud, QWidget* parent)
    : QDialog(parent), m_nPort(port), m_nBaud(baud) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Serial Port Selection"), 187, 93);
  ui::BuildForm(*this, kForm);
  m_com1 = ui::FindControlAs<QRadioButton>(this, kIdCom1);
  m_com2 = ui::FindControlAs<QRadioButton>(this, kIdCom2);
  m_baud19200 = ui::FindControlAs<QRadioButton>(this, kIdBaud19200);
  auto* baud9600 = ui::FindControlAs<QRadioButton>(this, kIdBaud9600);

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

  connect(ui::FindControlAs<QPushButton>(this, kIdOk), &QPushButton::clicked, this,
          &CSerialPortDlg::accept);
  connect(ui::FindControlAs<QPushButton>(this, kIdCancel), &QPushButton::clicked, this,
          &CSerialPortDlg::reject);
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
