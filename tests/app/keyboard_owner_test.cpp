// Where no window manager hands the keyboard round, the program's windows
// keep it themselves: one that closes gives it back to the window it belongs
// to. (That a window shown takes it, this platform does by itself; the
// accessibility bus test sees it on a real display.)
#include <QDialog>
#include <QMainWindow>
#include <QtTest>

#include "app/keyboard_owner.h"

class KeyboardOwnerTest : public QObject {
  Q_OBJECT
 private slots:
  void closedWindowGivesTheKeyboardBack() {
    tavrel::KeyboardOwner owner;
    QMainWindow main;
    main.show();
    main.activateWindow();
    QDialog tool(&main);  // a modeless tool window, as the register editor
    tool.show();
    tool.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &tool);
    tool.reject();
    QTRY_COMPARE(QApplication::activeWindow(), &main);
  }

  void aWindowClosedInTheBackgroundLeavesTheKeyboardAlone() {
    tavrel::KeyboardOwner owner;
    QMainWindow main;
    main.show();
    QDialog behind(&main);
    behind.show();
    QDialog front(&main);
    front.show();
    QTRY_COMPARE(QApplication::activeWindow(), &front);
    behind.hide();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &front);
  }
};

QTEST_MAIN(KeyboardOwnerTest)
#include "keyboard_owner_test.moc"
