// The window program's command line: the pre-answered link and model, the
// settings file, and the mistakes it refuses.
#include <QtTest>

#include "app/command_line.h"
#include "app/main_frame.h"

using tavrel::CommandLine;
using tavrel::ParseCommandLine;

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingGivenChangesNothing() {
    const CommandLine line = ParseCommandLine({"tavrel"});
    QVERIFY(line.error.isEmpty());
    QVERIFY(!line.start.preset);
    QVERIFY(!line.simulate);
    QVERIFY(line.start.document.isEmpty());
    QVERIFY(line.traceFile.isEmpty());
    QVERIFY(!line.start.lineMonitor);
  }

  void lineMonitorStartsOpen() {
    const CommandLine line = ParseCommandLine({"tavrel", "--simulate", "--line-monitor"});
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
    QVERIFY(line.start.lineMonitor);
    QVERIFY(tavrel::UsageText().contains(QStringLiteral("--line-monitor")));
  }

  void traceNamesItsFile() {
    const CommandLine line = ParseCommandLine({"tavrel", "--trace", "/tmp/line.txt", "a.tdx"});
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
    QCOMPARE(line.traceFile, QStringLiteral("/tmp/line.txt"));
    QCOMPARE(line.start.document, QStringLiteral("a.tdx"));
    QVERIFY(!ParseCommandLine({"tavrel", "--trace"}).error.isEmpty());
  }

  void connectionsAnswerTheDialog_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("linkKind");
    QTest::addColumn<int>("portChoice");
    QTest::addColumn<int>("baudChoice");
    QTest::addColumn<QString>("library");
    QTest::newRow("com1") << "com1:9600" << 0 << 0 << 0 << "";
    QTest::newRow("COM10 19200") << "COM10:19200" << 0 << 9 << 1 << "";
    QTest::newRow("com2 38400") << "com2:38400" << 0 << 1 << 2 << "";
    QTest::newRow("board") << "board:/opt/lib/libclsersim.so" << 1 << 12 << 0
                           << "/opt/lib/libclsersim.so";
  }
  void connectionsAnswerTheDialog() {
    QFETCH(QString, link);
    QFETCH(int, linkKind);
    QFETCH(int, portChoice);
    QFETCH(int, baudChoice);
    QFETCH(QString, library);
    const CommandLine line = ParseCommandLine(
        {"tavrel", "--simulate", "--connect", link, "--model", "pavon-p/s", "a.tdx"});
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
    QVERIFY(line.simulate);
    QVERIFY(line.start.preset);
    QVERIFY(line.start.preset->opened);
    QCOMPARE(line.start.preset->linkKind, linkKind);
    QCOMPARE(line.start.preset->portChoice, portChoice);
    QCOMPARE(line.start.preset->baudChoice, baudChoice);
    QCOMPARE(QString::fromStdString(line.start.preset->dllPath), library);
    QCOMPARE(line.start.presetCameraType, 1);
    QCOMPARE(line.start.document, QStringLiteral("a.tdx"));
  }

  // The virtual camera is the model named, in any case; the start-up dialog
  // still asks for the link.
  void modelGoesWithSimulate() {
    const CommandLine line = ParseCommandLine({"tavrel", "--simulate", "--model", "pavon-p/s"});
    QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
    QVERIFY(!line.start.preset);
    QCOMPARE(line.simulatedCameraType, 1);
    QCOMPARE(ParseCommandLine({"tavrel", "--simulate"}).simulatedCameraType, -1);
    QCOMPARE(ParseCommandLine({"tavrel", "--model", "x"}).error,
             QStringLiteral("--model needs --connect or --simulate"));
  }

  // A desktop start of a second program hands its file only to a program
  // started without options: --help says so.
  void helpSaysWhichProgramTakesHandedFiles() {
    QVERIFY2(tavrel::UsageText().contains(
                 QStringLiteral("a program started\nwith any option takes no files handed over")),
             qPrintable(tavrel::UsageText()));
  }

  void mistakesAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("port 11") << QStringList{"tavrel", "--connect", "com11:9600"};
    QTest::newRow("odd baud") << QStringList{"tavrel", "--connect", "com1:4800"};
    QTest::newRow("board without path") << QStringList{"tavrel", "--connect", "board:"};
    QTest::newRow("model alone") << QStringList{"tavrel", "--model", "KESTRA-P/S"};
    QTest::newRow("unknown model") << QStringList{"tavrel", "--connect", "com1", "--model", "X"};
    QTest::newRow("two files") << QStringList{"tavrel", "a.tdx", "b.tdx"};
    QTest::newRow("unknown option") << QStringList{"tavrel", "--fast"};
    QTest::newRow("missing value") << QStringList{"tavrel", "--connect"};
  }
  void mistakesAreRefused() {
    QFETCH(QStringList, arguments);
    QVERIFY(!ParseCommandLine(arguments).error.isEmpty());
  }

  // Only a plain start (no option, the program's own name) that names a
  // settings file hands it to a program already running, and only a plain
  // start takes the files later ones hand over: options and the service name
  // ask for a program of its own, which neither hands nor takes them.
  void onlyAPlainStartHandsOverAndTakesFiles_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("handsOver");
    QTest::addColumn<bool>("takes");
    const QString service = QStringLiteral("/opt/Marbleton Service Mode.exe");
    QTest::newRow("file") << QStringList{"tavrel", "a.tdx"} << true << true;
    QTest::newRow("nothing") << QStringList{"tavrel"} << false << true;
    QTest::newRow("service name") << QStringList{service} << false << false;
    QTest::newRow("service name, a file") << QStringList{service, "a.tdx"} << false << false;
    QTest::newRow("--connect") << QStringList{"tavrel", "--connect", "com2", "a.tdx"} << false
                               << false;
    QTest::newRow("--connect alone")
        << QStringList{"tavrel", "--connect", "com2"} << false << false;
    QTest::newRow("--simulate") << QStringList{"tavrel", "--simulate", "a.tdx"} << false << false;
    QTest::newRow("--screenshot") << QStringList{"tavrel", "a.tdx", "--screenshot", "d"} << false
                                  << false;
    QTest::newRow("--exit-when-shown")
        << QStringList{"tavrel", "--exit-when-shown", "a.tdx"} << false << false;
    QTest::newRow("--print-menu") << QStringList{"tavrel", "--print-menu", "a.tdx"} << false
                                  << false;
    QTest::newRow("--trace") << QStringList{"tavrel", "--trace", "t.log", "a.tdx"} << false
                             << false;
    QTest::newRow("--line-monitor")
        << QStringList{"tavrel", "--line-monitor", "a.tdx"} << false << false;
    QTest::newRow("--help") << QStringList{"tavrel", "--help", "a.tdx"} << false << false;
    QTest::newRow("mistake") << QStringList{"tavrel", "a.tdx", "--fast"} << false << false;
  }
  void onlyAPlainStartHandsOverAndTakesFiles() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, handsOver);
    QFETCH(bool, takes);
    const bool serviceName = tavrel::CMainFrame::IsDeveloperName(arguments.front());
    const tavrel::CommandLine line = ParseCommandLine(arguments);
    QCOMPARE(tavrel::HandsItsFileOver(line, serviceName), handsOver);
    QCOMPARE(tavrel::IsPlainStart(line, serviceName), takes);
  }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
