// The window program when the camera's line goes away and comes back: the
// click whose exchange finds the line hung up shows the time-out, the port
// pane turns to " ?" and says why, and once the camera is back on the same
// path (a by-id name, here a link), the next click goes through and the
// pane shows the port again. The camera is the virtual one on a pty; the
// panel's buttons are pressed with the mouse.
#include <QAbstractButton>
#include <QLabel>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/main_frame.h"
#include "link/comm_error.h"
#include "tests/app/app_rig.h"
#include "ui/dialog_layout.h"

using tavrel::testing::AppRig;

namespace {

namespace fs = std::filesystem;

constexpr int kShutter1of30 = 1006;  // entry 1 ("SHUTTER SPEED"), one button each
constexpr int kShutter1of60 = 1007;
constexpr int kShutter1of100 = 1008;

}  // namespace

class ReplugTest : public QObject {
  Q_OBJECT

 private:
  static void Press(AppRig& rig, int id) {
    auto* button = tavrel::ui::FindControlAs<QAbstractButton>(rig.Frame().View(), id);
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  static QString PortPaneToolTip(AppRig& rig) {
    return rig.Frame().statusBar()->findChild<QLabel*>(QStringLiteral("id59142"))->toolTip();
  }

 private slots:
  void theNextClickGoesThroughOnceTheCameraIsBack() {
    AppRig rig;
    const fs::path link = rig.Path(QStringLiteral("camera")).toStdString();
    fs::create_symlink(rig.virtualCamera.DevicePath(), link);
    setenv("TAVREL_COM1", link.c_str(), 1);
    QCOMPARE(rig.StartOnCom1(), tavrel::CTavrelApp::StartResult::kRunning);
    rig.Frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.Frame()));
    rig.app->OnIdle();
    QCOMPARE(PortPaneToolTip(rig),
             QStringLiteral("COM1: %1 (%2)")
                 .arg(QString::fromStdString(link.string()),
                      QString::fromStdString(rig.virtualCamera.DevicePath())));

    const std::size_t before = rig.BodyCount();
    Press(rig, kShutter1of30);
    QCOMPARE(rig.BodyCount(), before + 1);
    QVERIFY(rig.prompt.messages.empty());

    // The adapter is pulled during the next exchange.
    rig.virtualCamera.AddFault({sim::FaultKind::kHangup, 1, 0});
    Press(rig, kShutter1of60);
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QCOMPARE(rig.prompt.messages[0].text, "ERROR - " + tavrel::ErrorCodeText(5));
    rig.app->OnIdle();
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
    QCOMPARE(PortPaneToolTip(rig),
             QStringLiteral("COM1: %1 hung up; the next exchange with the camera opens it again")
                 .arg(QString::fromStdString(link.string())));

    // Plugged in again: the camera's new line, behind the same name.
    sim::PtyCamera back{sim::CameraOptions{}};
    fs::remove(link);
    fs::create_symlink(back.DevicePath(), link);
    Press(rig, kShutter1of100);
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QCOMPARE(back.ReceivedBodies().size(), std::size_t{1});
    rig.app->OnIdle();
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral("COM1"));
    QVERIFY(PortPaneToolTip(rig).startsWith(
        QStringLiteral("COM1: %1 (").arg(QString::fromStdString(link.string()))));
  }
};

QTEST_MAIN(ReplugTest)
#include "replug_test.moc"
