// Files handed over by later starts open one at a time, each once, and never
// beneath a modal window or inside another window's event loop.
#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/handed_file_queue.h"

using tavrel::HandedFileQueue;

namespace {

// Runs a real event loop (idle passes included), as the program's main loop,
// with `first` called from inside it, until `done` holds or 10 s have gone by.
bool RunUntil(const std::function<bool()>& done, const std::function<void()>& first = {}) {
  QEventLoop loop;
  if (first) QTimer::singleShot(0, &loop, first);
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  check.start(5);  // often enough, without keeping a core busy
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

// Runs `dialog` modally; `whileUp` runs inside its loop, then it closes.
void ExecWith(QDialog& dialog, const std::function<void()>& whileUp) {
  QTimer::singleShot(0, &dialog, [&] {
    whileUp();
    // Let the loop go round once more before the dialog closes.
    QTimer::singleShot(0, &dialog, &QDialog::accept);
  });
  dialog.exec();
}

}  // namespace

class HandedFileQueueTest : public QObject {
  Q_OBJECT

 private slots:
  void opensEachOnceInOrder() {
    QStringList opened;
    HandedFileQueue queue([&](const QString& path) { opened << path; });
    queue.Enqueue("/a.tdx");
    queue.Enqueue("/b.tdx");
    QVERIFY(RunUntil([&] { return opened.size() >= 2; }));
    QCoreApplication::processEvents();
    QCOMPARE(opened, (QStringList{"/a.tdx", "/b.tdx"}));
    QCOMPARE(queue.PendingCount(), 0);
  }

  void waitsForAModalWindowToClose() {
    QStringList opened;
    HandedFileQueue queue([&](const QString& path) { opened << path; });
    QDialog modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    queue.Enqueue("/a.tdx");
    QCoreApplication::processEvents();
    QVERIFY(opened.isEmpty());
    modal.hide();
    QVERIFY(RunUntil([&] { return !opened.isEmpty(); }));
    QCOMPARE(opened, QStringList{"/a.tdx"});
  }

  // A file that arrives while the Open dialog or a save question runs its
  // loop is opened after that window has closed. A native file dialog is
  // no window of ours: only its loop shows.
  void waitsForAnotherLoopToEnd_data() {
    QTest::addColumn<bool>("dialog");
    QTest::newRow("modal dialog") << true;
    QTest::newRow("bare loop") << false;
  }
  void waitsForAnotherLoopToEnd() {
    QFETCH(bool, dialog);
    QStringList opened;
    HandedFileQueue queue([&](const QString& path) { opened << path; });
    qsizetype openedWhileUp = -1;
    const auto whileUp = [&](QObject* context) {
      queue.Enqueue("/a.tdx");
      QTimer::singleShot(0, context, [&] { openedWhileUp = opened.size(); });
    };
    const auto runOtherLoop = [&] {
      if (dialog) {
        QDialog window;
        ExecWith(window, [&] { whileUp(&window); });
      } else {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
          whileUp(&loop);
          QTimer::singleShot(0, &loop, &QEventLoop::quit);
        });
        loop.exec();
      }
    };
    QVERIFY(RunUntil([&] { return !opened.isEmpty(); }, runOtherLoop));
    QCOMPARE(openedWhileUp, 0);
    QCOMPARE(opened, QStringList{"/a.tdx"});
  }

  // Opening keeps the window painted and asks its own questions; a file that
  // comes meanwhile waits for the first to be done instead of opening inside it.
  void oneOpensAtATime() {
    QStringList opened;
    int depth = 0;
    int deepest = 0;
    HandedFileQueue* queueRef = nullptr;
    HandedFileQueue queue([&](const QString& path) {
      deepest = std::max(deepest, ++depth);
      opened << path;
      if (path == "/a.tdx") {
        queueRef->Enqueue("/b.tdx");
        QCoreApplication::processEvents();
        QDialog question;
        ExecWith(question, [&] { queueRef->Enqueue("/c.tdx"); });
      }
      --depth;
    });
    queueRef = &queue;
    queue.Enqueue("/a.tdx");
    QVERIFY(RunUntil([&] { return opened.size() >= 3; }));
    QCOMPARE(opened, (QStringList{"/a.tdx", "/b.tdx", "/c.tdx"}));
    QCOMPARE(deepest, 1);
  }
};

QTEST_MAIN(HandedFileQueueTest)
#include "handed_file_queue_test.moc"
