// "Manual Command": the service engineer types one message body and sends it
// (Send) or sends it and sees the camera's six reply characters (Read).
// Failures are shown by the camera object's error box; the dialog stays open.
#pragma once

#include <QDialog>

class QLineEdit;

namespace tavrel {

class CameraUnit;

class CManualCommandDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDialogId = 135;
  static constexpr int kIdSend = 1110;
  static constexpr int kIdRead = 1111;
  static constexpr int kIdTransmission = 1112;
  static constexpr int kIdReceived = 1113;
  static constexpr int kIdExit = 1;

  // `camera` must outlive the dialog.
  explicit CManualCommandDlg(CameraUnit& camera, QWidget* parent = nullptr);

 private:
  void OnSend();
  void OnRead();
  // The typed body, with the received text cleared (and shown cleared while
  // the exchange blocks).
  std::string TakeBody();

  CameraUnit& m_camera;
  QLineEdit* m_transmission = nullptr;
  QLineEdit* m_received = nullptr;
};

}  // namespace tavrel
