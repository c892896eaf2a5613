// The status bar's port pane on a real device: its tooltip names the device
// the open port is on (a pseudo-terminal here, so not in the Windows build).
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/main_frame.h"
#include "link/comm_port.h"
#include "tests/support/idle_transport.h"
#include "tests/support/pty_pair.h"

using tavrel::CMainFrame;
using tavrel::testing::IdleTransport;

class PortPaneTest : public QObject {
  Q_OBJECT

 private slots:
  // The pane's tooltip names the device the open port is on, and what a
  // link such as a by-id name leads to.
  void portIndicatorToolTipNamesTheDevice() {
    tavrel::testing::PtyPair pty;
    QVERIFY(pty.ok());
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("adapter"));
    QVERIFY(QFile::link(QString::fromStdString(pty.slavePath()), link));
    tavrel::CommPort port;
    CMainFrame frame(port, "tavrel");
    auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("id59142"));
    // Until a port opens, nothing came from a camera.
    frame.UpdatePortIndicator();
    QCOMPARE(pane->toolTip(),
             QStringLiteral("No COM port open; nothing was read from a camera: the panel shows "
                            "the model's\ndefault values (or those of the settings file opened)\n"
                            "Ctrl+L chooses another port"));
    port.SetComPortResolver([&link](std::int32_t) { return link.toStdString(); });
    QCOMPARE(port.OpenSerial(7, 9600), 0);
    frame.UpdatePortIndicator();
    QCOMPARE(pane->toolTip(),
             QStringLiteral("COM7: %1 (%2)").arg(link, QString::fromStdString(pty.slavePath())));
    // Carried by something other than a device: the port alone.
    port.AttachTransport(std::make_unique<IdleTransport>(), 2, 9600);
    frame.UpdatePortIndicator();
    QCOMPARE(pane->toolTip(), QStringLiteral("COM2"));
    port.Close();
    frame.UpdatePortIndicator();
    QCOMPARE(pane->toolTip(), QStringLiteral("No COM port open; the panel shows the values it "
                                             "had last\nCtrl+L chooses another port"));
  }
};

QTEST_MAIN(PortPaneTest)
#include "port_pane_test.moc"
