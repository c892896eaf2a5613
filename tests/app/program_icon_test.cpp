// The program's own icon: every size is there, and the main window, the
// About box and the desktop entry show it.
#include <QFile>
#include <QLabel>
#include <QtTest>

#include "app/about_dlg.h"
#include "app/program_icon.h"
#include "tests/app/app_rig.h"

using tavrel::ProgramIcon;

namespace {

QImage At(const QIcon& icon, int size) {
  return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class ProgramIconTest : public QObject {
  Q_OBJECT

 private slots:
  void everySizeIsDrawn() {
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    for (const int size : tavrel::kProgramIconSizes) {
      QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
               qPrintable(QString::number(size)));
      const QImage image = At(icon, size);
      QCOMPARE(image.size(), QSize(size, size));
      // Drawn on a tile: the middle is not transparent.
      QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) == 255);
    }
  }

  void mainWindowAndAboutBoxShowIt() {
    tavrel::testing::AppRig rig;
    rig.StartOnCom1();
    QCOMPARE(At(rig.Frame().windowIcon(), 32), At(ProgramIcon(), 32));

    tavrel::CAboutDlg about(&rig.Frame());
    const auto* picture = about.findChild<QLabel*>(QStringLiteral("programIcon"));
    QVERIFY(picture != nullptr);
    QCOMPARE(picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
             At(ProgramIcon(), 32));
  }

  void desktopEntryNamesIt() {
    QFile entry(QStringLiteral(TAVREL_DESKTOP_ENTRY));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().split('\n').contains("Icon=tavrel"));
  }
};

QTEST_MAIN(ProgramIconTest)
#include "program_icon_test.moc"
