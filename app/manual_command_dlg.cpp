#include "app/manual_command_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "model/manual_command.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
CManualCommandDlg::CManualCommandDlg(CameraUnit& camera, QWidget* parent)
    : QDialog(parent), m_camera(camera) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Manual Command"), 212, 111);

  auto* transmission =
      ui::MakeControl<QLabel>(this, -1, QStringLiteral("Transmission Message"), 12, 8, 120, 9);
  m_transmission = ui::MakeControl<QLineEdit>(this, kIdTransmission, QString(), 12, 19, 128, 14);
  m_transmission->setValidator(new ui::CapitalsValidator(m_transmission));
  auto* send = ui::MakeControl<QPushButton>(this, kIdSend, QStringLiteral("Send"), 150, 18, 50, 15);
  auto* received =
      ui::MakeControl<QLabel>(this, -1, QStringLiteral("Received Message"), 12, 44, 120, 9);
  m_received = ui::MakeControl<QLineEdit>(this, kIdReceived, QString(), 12, 55, 128, 14);
  m_received->setReadOnly(true);
  auto* read = ui::MakeControl<QPushButton>(this, kIdRead, QStringLiteral("Read"), 150, 54, 50, 15);
  auto* exit = ui::MakeControl<QPushButton>(this, kIdExit, QStringLiteral("Exit"), 80, 86, 52, 15);
  // Each edit box is named and labelled by the text above it.
  for (auto [label, edit] : {std::pair{transmission, m_transmission}, {received, m_received}}) {
    edit->setAccessibleName(label->text());
    label->setBuddy(edit);
  }
  // Enter closes the dialog unless a button has the focus, like Exit.
  exit->setDefault(true);
  m_transmission->setFocus();

  connect(send, &QPushButton::clicked, this, &CManualCommandDlg::OnSend);
  connect(read, &QPushButton::clicked, this, &CManualCommandDlg::OnRead);
  connect(exit, &QPushButton::clicked, this, &CManualCommandDlg::accept);
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
