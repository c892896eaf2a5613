// A second program started with a settings file hands it to the running one
// and ends with status 0, however busy the running one is; a second program
// started with options is a program of its own.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <future>

#include "app/hand_over.h"
#include "app/instance_channel.h"
#include "tests/app/default_settings_file.h"
#include "tests/app/program_environment.h"

namespace {

QString ChannelName(const char* what) {
  return QStringLiteral("tavrel-test-%1-%2")
      .arg(QLatin1String(what))
      .arg(QCoreApplication::applicationPid());
}

// How the program names a file given by a path from the root: as the system
// does, on Windows with the current drive.
QString Absolute(const char* path) {
  return QFileInfo(QString::fromUtf8(path)).absoluteFilePath();
}

// The window program on `channel`, with a profile of its own.
void StartProgram(QProcess& program, const QString& channel, const QTemporaryDir& home,
                  const QStringList& arguments) {
  program.setProcessEnvironment(tavrel::testing::ProgramEnvironment(channel, home.path()));
  program.start(QStringLiteral(TAVREL_PROGRAM), arguments);
}

}  // namespace

class InstanceChannelTest : public QObject {
  Q_OBJECT

 private slots:
  void secondProgramHandsItsFileOver() {
    const QString name = QStringLiteral("tavrel-test-%1").arg(QCoreApplication::applicationPid());
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    channel.Serve();
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);

    QProcess second;
    second.setProcessEnvironment(tavrel::testing::ProgramEnvironment(name));
    second.start(QStringLiteral(TAVREL_PROGRAM), {QStringLiteral("/data/camera one.tdx")});
    QVERIFY(received.wait(10000));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(received.at(0).at(0).toString(), Absolute("/data/camera one.tdx"));
  }

  // The running program does not look at its channel while it is in a camera
  // exchange; the second one waits for it instead of starting a program of
  // its own, and ends once the file is taken.
  void busyProgramStillGetsTheFileOnce() {
    const QString name = ChannelName("busy");
    QTemporaryDir home;
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    channel.Serve();
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);

    QProcess second;
    second.setReadChannel(QProcess::StandardError);
    StartProgram(second, name, home, {QStringLiteral("/data/busy.tdx")});
    // Waiting on the second program runs no event loop here: this program is
    // as busy as one in an exchange until the second one says it waits.
    QByteArray said;
    while (!said.contains("busy") && second.waitForReadyRead(10000)) said += second.readAll();
    QVERIFY2(said.contains(Absolute("/data/busy.tdx").toUtf8() + " opens there when it is free"),
             said.constData());
    QCOMPARE(second.state(), QProcess::Running);

    QVERIFY(received.wait(10000));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(received.size(), 1);
  }

  // With any option the command line asks for a program of its own; the
  // running one is left alone.
  void optionsStartAProgramOfItsOwn() {
    const QString name = ChannelName("options");
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("own.tdx"));
    QVERIFY(tavrel::testing::SaveDefaultSettingsFile(file));
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    channel.Serve();
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);

    QProcess own;
    StartProgram(own, name, home,
                 {"--simulate", "--connect", "com1:38400", "--exit-when-shown", file});
    // The channel is served all along, so a hand-over would be answered.
    QTRY_VERIFY_WITH_TIMEOUT(own.state() == QProcess::NotRunning, 30000);
    QCOMPARE(own.exitStatus(), QProcess::NormalExit);
    QVERIFY2(own.exitCode() == 0, own.readAllStandardError().constData());
    QVERIFY(received.isEmpty());
  }

  // A program still starting (its dialog up, the start-up read under way)
  // holds the channel but takes nothing yet; what came meanwhile is taken
  // once it serves.
  void requestsWaitUntilTheProgramServes() {
    const QString name = ChannelName("starting");
    QTemporaryDir home;
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);

    QProcess second;
    QSignalSpy said(&second, &QProcess::readyReadStandardError);
    StartProgram(second, name, home, {QStringLiteral("/data/early.tdx")});
    QByteArray text;
    while (!text.contains("busy") && said.wait(10000)) text += second.readAllStandardError();
    QVERIFY2(text.contains("busy"), text.constData());
    QVERIFY(received.isEmpty());
    QCOMPARE(second.state(), QProcess::Running);

    channel.Serve();  // the waiting request may be answered right here
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 10000);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toString(), Absolute("/data/early.tdx"));
  }

  // A start from the desktop shows no stderr: while the running program is
  // still in its start-up dialog, the second one shows a small window saying
  // where the file goes, and closes it once the file is taken.
  void aWaitingHandOverIsShownUntilTheFileIsTaken() {
    const QString name = ChannelName("shown");
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);
    const auto notices = [] {
      QList<QWidget*> shown;
      for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("handedFileNotice") && window->isVisible()) {
          shown << window;
        }
      }
      return shown;
    };
    QString shownText;
    // The waiting sender handles this program's events, this timer's too:
    // the running side starts to serve once the notice has been seen.
    QTimer::singleShot(2000, [&] {
      for (QWidget* notice : notices()) {
        for (const QLabel* label : notice->findChildren<QLabel*>()) shownText += label->text();
      }
      channel.Serve();
    });
    QVERIFY(tavrel::HandToRunningProgram(QStringLiteral("/data/early.tdx"), name));
    QVERIFY2(shownText.contains(Absolute("/data/early.tdx") + QStringLiteral("\nopens there when "
                                                                             "it is free.")),
             qPrintable(shownText));
    QVERIFY(notices().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 10000);
  }

  // A program that ends without answering (its start was cancelled) leaves
  // the waiting start to go on as a program of its own.
  void endingUnansweredLetsTheSenderGoOn() {
    const QString name = ChannelName("ends");
    QLocalServer listener;
    QVERIFY(listener.listen(name));
    auto sent = std::async(std::launch::async, [&name] {
      return tavrel::InstanceChannel::SendToRunning(name, QStringLiteral("/data/x.tdx"));
    });
    QVERIFY(listener.waitForNewConnection(10000));
    QLocalSocket* request = listener.nextPendingConnection();
    QVERIFY(request->waitForReadyRead(10000));
    request->close();
    QCOMPARE(sent.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QVERIFY(!sent.get());
  }

  void nobodyListeningMeansNoHandOver() {
    QVERIFY(!tavrel::InstanceChannel::SendToRunning(QStringLiteral("tavrel-test-nobody"),
                                                    QStringLiteral("/tmp/x.tdx")));
  }

  void staleChannelIsTakenOver() {
    const QString name =
        QStringLiteral("tavrel-test-stale-%1").arg(QCoreApplication::applicationPid());
    {
      tavrel::InstanceChannel first;
      QVERIFY(first.Listen(name));
      tavrel::InstanceChannel second;
      QVERIFY(!second.Listen(name));  // the first one answers
    }
    tavrel::InstanceChannel again;
    QVERIFY(again.Listen(name));
  }
};

QTEST_MAIN(InstanceChannelTest)
#include "instance_channel_test.moc"
