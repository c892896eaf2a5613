// The settings document through the window's commands: save and open, the
// modified flag and the save-changes prompt, short and foreign files, files
// that cannot be read or written, dropped files and the recent-file list.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include "app/command_ids.h"
#include "tests/app/app_rig.h"
#include "ui/dialog_layout.h"

using tavrel::MessageAnswer;
using tavrel::testing::AppRig;
namespace cmd = tavrel::cmd;

namespace {

constexpr char kHeader[] = "TAV-DX Data Version1.00";

void Run(AppRig& rig, int command) {
  QAction* action = rig.Frame().FindAction(command);
  QVERIFY2(action != nullptr, qPrintable(QString::number(command)));
  action->trigger();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray SettingsBytes(std::int32_t value) {
  QByteArray bytes;
  bytes.append(char(23)).append(kHeader);
  for (int i = 0; i < tavrel::kParameterCount; ++i) {
    for (int shift = 0; shift < 32; shift += 8) bytes.append(char((value >> shift) & 0xFF));
  }
  return bytes;
}

// The GAIN bar's position and its text on the control panel.
QPair<int, QString> PanelGain(AppRig& rig) {
  QWidget* view = rig.Frame().View();
  return {tavrel::ui::FindControlAs<QScrollBar>(view, 1024)->value(),
          tavrel::ui::FindControlAs<QLabel>(view, 1025)->text()};
}

std::vector<std::int32_t> Values(const tavrel::CameraUnit& camera) {
  std::vector<std::int32_t> values;
  for (int i = 0; i < tavrel::kParameterCount; ++i) values.push_back(camera.GetValue(i, true));
  return values;
}

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void saveAsThenOpenGivesTheSameValuesAndWritesThemToTheCamera() {
    AppRig rig;
    QCOMPARE(rig.StartOnCom1(), tavrel::CTavrelApp::StartResult::kRunning);
    const auto saved = Values(rig.camera);
    const QString title = rig.Frame().windowTitle();
    const QString path = rig.Path("camera.tdx");
    rig.files.answers.push_back(path);
    Run(rig, cmd::kFileSaveAs);
    const QByteArray bytes = ReadFile(path);
    QCOMPARE(bytes.size(), 540);
    QCOMPARE(bytes.left(24), QByteArray(1, char(23)) + kHeader);
    QCOMPARE(rig.Document().Title(), QStringLiteral("camera.tdx"));
    QCOMPARE(rig.Frame().windowTitle(), title);
    QVERIFY(!rig.Document().IsModified());

    for (int i = 0; i < tavrel::kParameterCount; ++i) rig.camera.ResetValue(i);
    const std::size_t before = rig.BodyCount();
    rig.files.answers.push_back(path);
    rig.Frame().FindAccelerator(cmd::kFileOpen)->trigger();
    QCOMPARE(Values(rig.camera), saved);
    // KESTRA-P/S writes entries 0 to 26, the first one AGC MODE at 0x06.
    QCOMPARE(rig.BodyCount() - before, std::size_t{27});
    QCOMPARE(rig.virtualCamera.ReceivedBodies()[before].substr(0, 8), std::string("01FF0106"));
    QVERIFY(!rig.Document().IsModified());
    QVERIFY(rig.prompt.messages.empty());
    QCOMPARE(rig.files.requests.back().filters, QStringList({"TAVDX Files (*.tdx)"}));
  }

  void saveWritesToTheDocumentsFileAndKeepsTheTitle() {
    AppRig rig;
    rig.StartOnCom1();
    const QString title = rig.Frame().windowTitle();
    const QString path = rig.Path("first.tdx");
    rig.files.answers.push_back(path);
    Run(rig, cmd::kFileSave);  // untitled: asks for a name
    QCOMPARE(rig.files.requests.size(), std::size_t{1});
    QCOMPARE(rig.files.requests[0].proposedPath, QStringLiteral("Untitled.tdx"));
    QFile::remove(path);
    Run(rig, cmd::kFileSave);  // titled: no question
    QCOMPARE(rig.files.requests.size(), std::size_t{1});
    QCOMPARE(ReadFile(path).size(), 540);
    QCOMPARE(rig.Frame().windowTitle(), title);
  }

  void readFromCameraMarksModifiedAndExitAsks() {
    AppRig rig;
    rig.StartOnCom1();
    QVERIFY(!rig.Document().IsModified());
    QSignalSpy refreshed(&rig.Document(), &tavrel::CTavrelDoc::updateAllViews);
    Run(rig, cmd::kReadFromCamera);
    QVERIFY(rig.Document().IsModified());
    QCOMPARE(refreshed.size(), 1);

    rig.prompt.answers.push_back(MessageAnswer::kCancel);
    QVERIFY(!rig.Frame().close());
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{"Save changes to Untitled?"});

    rig.prompt.answers.push_back(MessageAnswer::kCancel);
    rig.Frame().FindAccelerator(cmd::kFileNew)->trigger();
    QVERIFY(rig.Document().IsModified());

    rig.prompt.answers.push_back(MessageAnswer::kNo);
    rig.Frame().FindAccelerator(cmd::kFileNew)->trigger();
    QVERIFY(!rig.Document().IsModified());
    QCOMPARE(rig.Document().Title(), QStringLiteral("Untitled"));
    QVERIFY(rig.Frame().close());
  }

  // What reaches the panel: Ctrl+R after the camera's GAIN changed, then
  // Ctrl+O on a file whose GAIN is 100 (KESTRA-P/S: 0.0358 dB a step).
  void panelShowsWhatReadAndOpenBrought() {
    AppRig rig;
    rig.StartOnCom1();
    const QString path = rig.Path("gain.tdx");
    QByteArray bytes = SettingsBytes(0);
    bytes[24 + 4 * 10] = char(100);
    WriteFile(path, bytes);
    rig.virtualCamera.WriteRegister(1, 0x01, 0x0C, {0x01, 0x2C, 0x00});  // 300

    QVERIFY(rig.PressCtrl(Qt::Key_R));
    QCOMPARE(PanelGain(rig), (QPair<int, QString>{300, "10.7400 dB"}));

    rig.prompt.answers.push_back(MessageAnswer::kNo);  // the read left it modified
    rig.files.answers.push_back(path);
    QTest::keyClick(&rig.Frame(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(rig.Document().Title(), QStringLiteral("gain.tdx"));
    QCOMPARE(PanelGain(rig), (QPair<int, QString>{100, "3.5800 dB"}));
  }

  void failedReadFromCameraShowsOneBoxAndRefreshesNothing() {
    AppRig rig;
    rig.StartOnCom1();
    rig.virtualCamera.Stop();
    QSignalSpy refreshed(&rig.Document(), &tavrel::CTavrelDoc::updateAllViews);
    Run(rig, cmd::kReadFromCamera);
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QCOMPARE(refreshed.size(), 0);
    QVERIFY(!rig.Document().IsModified());
  }

  void answeringYesSavesBeforeOpening() {
    AppRig rig;
    rig.StartOnCom1();
    const QString other = rig.Path("other.tdx");
    WriteFile(other, SettingsBytes(0));
    Run(rig, cmd::kReadFromCamera);
    rig.prompt.answers.push_back(MessageAnswer::kYes);
    rig.files.answers.push_back(rig.Path("kept.tdx"));  // save as (untitled)
    QVERIFY(rig.Document().OpenDocumentFile(other));
    QCOMPARE(ReadFile(rig.Path("kept.tdx")).size(), 540);
    QCOMPARE(rig.Document().Title(), QStringLiteral("other.tdx"));
  }

  void shortFileIsReportedAndTheDocumentBecomesUntitled() {
    AppRig rig;
    rig.StartOnCom1();
    const QString path = rig.Path("short.tdx");
    WriteFile(path, SettingsBytes(1).left(24 + 4 * 10 + 2));
    const std::size_t before = rig.BodyCount();
    QSignalSpy panelFilled(&rig.Document(), &tavrel::CTavrelDoc::initialUpdate);
    QVERIFY(!rig.Document().OpenDocumentFile(path));
    QCOMPARE(panelFilled.size(), 0);  // the panel keeps what the camera holds
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{"Unexpected file format."});
    QCOMPARE(rig.BodyCount(), before);
    QCOMPARE(rig.Document().Title(), QStringLiteral("Untitled"));
    QVERIFY(rig.Document().PathName().isEmpty());
    QVERIFY(!rig.Document().IsModified());
    QCOMPARE(rig.camera.GetValue(0, true), 1);  // values read before the end stay
  }

  void foreignFileIsNamedAndChangesNothing() {
    AppRig rig;
    rig.StartOnCom1();
    QByteArray bytes = SettingsBytes(1);
    bytes[23] = '1';  // "...Version1.01"
    const QString path = rig.Path("foreign.tdx");
    WriteFile(path, bytes);
    const auto values = Values(rig.camera);
    const std::size_t before = rig.BodyCount();
    QVERIFY(rig.Document().OpenDocumentFile(path));
    QCOMPARE(rig.prompt.MessageTexts(),
             std::vector<std::string>{"File type mismatch.\nFile \"foreign.tdx\" does not contain "
                                      "data for  TAVREL CONTROL apprication."});
    QCOMPARE(rig.prompt.messages[0].icon, tavrel::MessageIcon::kExclamation);
    QCOMPARE(Values(rig.camera), values);
    QCOMPARE(rig.BodyCount(), before);
    QCOMPARE(rig.Document().Title(), QStringLiteral("foreign.tdx"));
  }

  void emptyFileOpensWithoutChange() {
    AppRig rig;
    rig.StartOnCom1();
    const QString path = rig.Path("empty.tdx");
    WriteFile(path, {});
    const auto values = Values(rig.camera);
    QVERIFY(rig.Document().OpenDocumentFile(path));
    QVERIFY(rig.prompt.messages.empty());
    QCOMPARE(Values(rig.camera), values);
  }

  void unreadableAndUnwritableFiles() {
    AppRig rig;
    rig.StartOnCom1();
    Run(rig, cmd::kReadFromCamera);
    rig.prompt.answers.push_back(MessageAnswer::kNo);
    QVERIFY(!rig.Document().OpenDocumentFile(rig.Path("missing.tdx")));
    QVERIFY(rig.Document().IsModified());  // untouched
    rig.files.answers.push_back(rig.Path("no-such-folder/x.tdx"));
    Run(rig, cmd::kFileSaveAs);
    QCOMPARE(rig.prompt.MessageTexts(),
             (std::vector<std::string>{"Save changes to Untitled?",
                                       "Failed to open document.\nNo such file or directory",
                                       "Failed to save document.\nNo such file or directory"}));
    QVERIFY(rig.Document().IsModified());
    QCOMPARE(rig.Document().Title(), QStringLiteral("Untitled"));
  }

  void droppedFileIsOpened() {
    AppRig rig;
    rig.StartOnCom1();
    const QString path = rig.Path("dropped.tdx");
    WriteFile(path, SettingsBytes(0));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QVERIFY(rig.Frame().acceptDrops());
    QVERIFY(rig.Frame().OpenDroppedFiles(data));
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{});
    QCOMPARE(rig.Document().Title(), QStringLiteral("dropped.tdx"));
  }

  void recentFilesKeepTheFourNewest() {
    AppRig rig;
    rig.StartOnCom1();
    for (int i = 1; i <= 5; ++i) {
      rig.files.answers.push_back(rig.Path(QStringLiteral("f%1.tdx").arg(i)));
      Run(rig, cmd::kFileSaveAs);
    }
    const QStringList expected{rig.Path("f5.tdx"), rig.Path("f4.tdx"), rig.Path("f3.tdx"),
                               rig.Path("f2.tdx")};
    QCOMPARE(rig.Document().RecentFiles(), expected);
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(
          rig.profile.GetProfileString("Recent File List", QStringLiteral("File%1").arg(i + 1)),
          expected[i]);
    }
    Run(rig, cmd::kFileMru1 + 3);  // f2.tdx
    QCOMPARE(rig.Document().Title(), QStringLiteral("f2.tdx"));
    QCOMPARE(rig.Document().RecentFiles().front(), rig.Path("f2.tdx"));
    Run(rig, cmd::kFileMru1 + 1);  // f5.tdx, now second
    QCOMPARE(rig.Document().Title(), QStringLiteral("f5.tdx"));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
