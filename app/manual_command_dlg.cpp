#include "app/manual_command_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "model/manual_command.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

using D = CManualCommandDlg;
using ui::Edit;
using ui::FocusDefaultButton;
using ui::Label;

// Dialog 135 in tab order.
constexpr ui::FormControl kForm[] = {
    {0, Label, u"Transmission Message", 12, 8, 120, 9},
    {D::kIdTransmission, Edit, {}, 12, 19, 128, 14},
    {D::kIdSend, FocusDefaultButton, u"Send", 150, 18, 50, 15},
    {0, Label, u"Received Message", 12, 44, 120, 9},
    {D::kIdReceived, Edit, {}, 12, 55, 128, 14},
    {D::kIdRead, FocusDefaultButton, u"Read", 150, 54, 50, 15},
    // Enter closes the dialog unless a button has the focus, like Exit.
    {D::kIdExit, ui::DefaultButton, u"Exit", 80, 86, 52, 15},
};

}  // namespace

CManualCommandDlg::CManualCommandDlg(CameraUnit& camera, QWidget* parent)
    : QDialog(parent), m_camera(camera) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Manual Command"), 212, 111);
  ui::BuildForm(*this, kForm);
  m_transmission = ui::FindControlAs<QLineEdit>(this, kIdTransmission);
  m_transmission->setValidator(new ui::CapitalsValidator(m_transmission));
  m_received = ui::FindControlAs<QLineEdit>(this, kIdReceived);
  m_received->setReadOnly(true);
  // Each edit box is named and labelled by the text above it (the labels
  // come in the template's order).
  const QList<QLabel*> labels = findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  for (auto [label, edit] : {std::pair{labels.at(0), m_transmission}, {labels.at(1), m_received}}) {
    edit->setAccessibleName(label->text());
    label->setBuddy(edit);
  }
  m_transmission->setFocus();

  connect(ui::FindControlAs<QPushButton>(this, kIdSend), &QPushButton::clicked, this,
          &CManualCommandDlg::OnSend);
  connect(ui::FindControlAs<QPushButton>(this, kIdRead), &QPushButton::clicked, this,
          &CManualCommandDlg::OnRead);
  connect(ui::FindControlAs<QPushButton>(this, kIdExit), &QPushButton::clicked, this,
          &CManualCommandDlg::accept);
}

std::string CManualCommandDlg::TakeBody() {
  m_received->clear();
  m_received->repaint();
  return m_transmission->text().toLocal8Bit().toStdString();
}

void CManualCommandDlg::OnSend() {
  SendManualCommand(m_camera, TakeBody());
}

void CManualCommandDlg::OnRead() {
  const auto reply = QueryManualCommand(m_camera, TakeBody());
  if (reply) m_received->setText(QString::fromLatin1(reply->data(), qsizetype(reply->size())));
}

}  // namespace tavrel
