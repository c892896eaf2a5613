// A second program started with a settings file hands it to the running one
// and ends with status 0.
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include "app/instance_channel.h"

class InstanceChannelTest : public QObject {
  Q_OBJECT

 private slots:
  void secondProgramHandsItsFileOver() {
    const QString name = QStringLiteral("tavrel-test-%1").arg(QCoreApplication::applicationPid());
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(name));
    QSignalSpy received(&channel, &tavrel::InstanceChannel::fileReceived);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVREL_INSTANCE_NAME"), name);
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(TAVREL_PROGRAM), {QStringLiteral("/data/camera one.tdx")});
    QVERIFY(received.wait(10000));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("/data/camera one.tdx"));
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
