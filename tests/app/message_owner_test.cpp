// Which window a message box belongs to: the one the user is working in when
// it appears (the Manual Command tool while it is open, a tool window that is
// active), else the main frame; never one for an ownerless box.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>
#include <vector>

#include "app/main_frame.h"
#include "app/manual_command_dlg.h"
#include "app/qt_user_prompt.h"
#include "model/camera_unit.h"
#include "model/program_message.h"
#include "tests/app/answering_boxes.h"
#include "ui/dialog_layout.h"

using tavrel::CManualCommandDlg;
using tavrel::testing::Answering;
using tavrel::testing::ShownBox;

namespace {

bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

}  // namespace

class MessageOwnerTest : public QObject {
  Q_OBJECT

 private slots:
  void boxesBelongToTheWindowInUse() {
    std::vector<ShownBox> boxes;
    tavrel::QtUserPrompt prompt(Answering(boxes, QMessageBox::Ok));
    tavrel::CameraUnit camera;  // no link: every exchange fails with a box
    camera.SetUserPrompt(&prompt);
    tavrel::CMainFrame frame(camera, QStringLiteral("tavrel"));
    prompt.SetMainFrame(&frame);
    QVERIFY(ShowActive(frame));

    camera.ShowLastError();
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes.back().owner, &frame);

    {
      CManualCommandDlg tool(camera, &frame);
      tool.setWindowModality(Qt::ApplicationModal);
      QVERIFY(ShowActive(tool));
      QTest::keyClicks(
          tavrel::ui::FindControlAs<QLineEdit>(&tool, CManualCommandDlg::kIdTransmission),
          "00FF8141000000");
      QTest::mouseClick(
          tavrel::ui::FindControlAs<QAbstractButton>(&tool, CManualCommandDlg::kIdRead),
          Qt::LeftButton);
      QCOMPARE(boxes.size(), std::size_t{2});
      QCOMPARE(boxes.back().owner, &tool);
      QVERIFY(boxes.back().text.startsWith(QStringLiteral("ERROR - ")));
      QVERIFY(tool.isVisible());
    }

    QWidget toolWindow;  // a modeless tool window the user works in
    QVERIFY(ShowActive(toolWindow));
    camera.ShowLastError();
    QCOMPARE(boxes.back().owner, &toolWindow);

    tavrel::MessageRequest ownerless =
        tavrel::ProgramMessage("no owner", tavrel::MessageIcon::kExclamation);
    ownerless.ownerless = true;
    prompt.ShowMessage(ownerless);
    QCOMPARE(boxes.back().owner, nullptr);
  }
};

QTEST_MAIN(MessageOwnerTest)
#include "message_owner_test.moc"
