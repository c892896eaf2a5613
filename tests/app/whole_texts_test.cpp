// What the windows show is whole: every caption of the control panel (for
// every model, the service controls shown too) and of every dialog fits the
// room its control gives it, inside its group box; a message box shows each
// line of its text unbroken.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "app/about_dlg.h"
#include "app/command_menu_dlg.h"
#include "app/manual_command_dlg.h"
#include "app/qt_user_prompt.h"
#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "model/adjustment_log.h"
#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "panel/panel_ids.h"
#include "panel/tavrel_view.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/clipped_texts.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

using tavrel::testing::ClippedTexts;

class WholeTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void panelCaptionsAreWhole_data() {
    QTest::addColumn<int>("type");
    for (int type = 0; type < tavrel::kCameraTypeCount; ++type) {
      QTest::newRow(tavrel::CameraModelName(type).c_str()) << type;
    }
  }
  void panelCaptionsAreWhole() {
    QFETCH(int, type);
    tavrel::cameraType = type;
    tavrel::CameraUnit camera;
    camera.InitTable();
    for (int i = 0; i < tavrel::kParameterCount; ++i) camera.ResetValue(i);
    tavrel::ParameterDocument document(camera);
    QTemporaryDir profileDir;
    tavrel::ProfileStore profile(profileDir.filePath("profile.ini"));
    tavrel::CTavrelView view(document, profile);
    view.OnInitialUpdate();
    for (int id : tavrel::panel::kServiceControls) tavrel::ui::FindControl(&view, id)->show();
    const QStringList clipped = ClippedTexts(view);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("\n"))));
    // Neither do two captions run into each other ("Horizontal" "Vertical").
    const QStringList touching = tavrel::testing::TouchingTexts(view);
    QVERIFY2(touching.isEmpty(), qPrintable(touching.join(QStringLiteral("\n"))));
  }

  void dialogCaptionsAreWhole() {
    tavrel::CameraUnit camera;
    tavrel::testing::ScriptedFileChooser files;
    tavrel::CSelectCommDlg selectComm(files);
    tavrel::CSerialPortDlg serialPort(1, 9600);
    tavrel::CManualCommandDlg manualCommand(camera);
    tavrel::CCommandMenuDlg commandMenu(camera);
    tavrel::CAboutDlg about;
    for (const QDialog* dialog : std::initializer_list<const QDialog*>{
             &selectComm, &serialPort, &manualCommand, &commandMenu, &about}) {
      const QStringList clipped = ClippedTexts(*dialog);
      QVERIFY2(clipped.isEmpty(), qPrintable(dialog->windowTitle() + QStringLiteral(":\n") +
                                             clipped.join(QStringLiteral("\n"))));
    }
  }

  // The adjustment log's box names the log twice; neither name is broken.
  // The text and the detail below it, each line at its full width: a path
  // is not broken after a "/".
  void messageBoxLinesAreWhole() {
    const QString text = QString::fromStdString(
        tavrel::AdjustmentLogBusyText(tavrel::kAdjustmentLogPath) + "\nsecond line");
    const QString detail = QStringLiteral(
        "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K4LMQ-if00-port0: Permission denied\n"
        "Its users are the group dialout: join it with \"sudo usermod -aG dialout $USER\", "
        "then log in again.");
    QStringList tooNarrow;
    tavrel::QtUserPrompt prompt([&](QDialog& dialog) {
      dialog.show();  // lays the box out as it is shown
      for (const auto& [name, shown] :
           {std::pair{"qt_msgbox_label", text}, std::pair{"qt_msgbox_informativelabel", detail}}) {
        const auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
        if (label == nullptr) {
          tooNarrow << QStringLiteral("no %1").arg(QLatin1String(name));
          continue;
        }
        for (const QString& line : shown.split(QLatin1Char('\n'))) {
          const int width = label->fontMetrics().horizontalAdvance(line);
          if (width > label->contentsRect().width()) {
            tooNarrow << QStringLiteral("%1: %2 pixels wide in %3")
                             .arg(line)
                             .arg(width)
                             .arg(label->contentsRect().width());
          }
        }
      }
      dialog.hide();
      return int(QMessageBox::Ok);
    });
    tavrel::MessageRequest request;
    request.text = text.toStdString();
    request.detail = detail.toStdString();
    prompt.ShowMessage(request);
    QVERIFY2(tooNarrow.isEmpty(), qPrintable(tooNarrow.join(QStringLiteral("\n"))));
  }
};

QTEST_MAIN(WholeTextsTest)
#include "whole_texts_test.moc"
