// The window program's last handler: an exception an event handler lets out
// ends the program with its own status and the reason, however deep in
// dialogs' loops it happens.
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "app/guarded_application.h"

namespace {

// Throws from its event handler, as a fault of the program would.
class Faulty : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("invalid UTF-8 byte");
    return QObject::event(event);
  }
};

}  // namespace

class GuardedApplicationTest : public QObject {
  Q_OBJECT
 private slots:
  void anExceptionEndsTheLoopsWithItsOwnStatus() {
    Faulty faulty;
    QDialog dialog;
    // A dialog's loop runs when the fault comes; a fallback ends it unfaulted.
    QTimer::singleShot(0, &dialog,
                       [&] { QCoreApplication::postEvent(&faulty, new QEvent(QEvent::User)); });
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(QDialog::Accepted); });
    QTimer::singleShot(0, &dialog, [&] { dialog.exec(); });
    QCOMPARE(QApplication::exec(), tavrel::kExitInternal);
    QVERIFY(tavrel::GuardedApplication::Failed());
  }
};

int main(int argc, char** argv) {
  tavrel::GuardedApplication application(argc, argv);
  GuardedApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "guarded_application_test.moc"
