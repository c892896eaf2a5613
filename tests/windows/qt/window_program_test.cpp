// What the window program does its own way on Windows, run under Wine: the
// control panel over the Win32 COM port, settings files named in Japanese,
// the register editor's Japanese labels in the system's Japanese fonts, and
// the program's icon as Explorer loads it.
#include <windows.h>
// The profile's GetProfileString below, not the Windows function of that name.
#undef GetProfileString

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRawFont>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_menu_dlg.h"
#include "app/desktop_platform.h"
#include "app/instance_channel.h"
#include "app/main_frame.h"
#include "app/tavrel_app.h"
#include "app/tavrel_doc.h"
#include "model/camera_unit.h"
#include "panel/panel_ids.h"
#include "sim/in_process_camera.h"
#include "tests/app/program_environment.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/recording_prompt.h"
#include "tests/support/scroll_bar_parts.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

using tavrel::testing::PartCentre;
using tavrel::testing::RecordingPrompt;

namespace {

// A widget's text that is not plain ASCII, with the font it is drawn in.
struct JapaneseText {
  QString text;
  QFont font;
};

std::vector<JapaneseText> JapaneseTexts(const QWidget& root) {
  std::vector<JapaneseText> texts;
  const auto add = [&texts](const QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() > 0x7F) {
        texts.push_back({text, widget->font()});
        return;
      }
    }
  };
  for (const auto* label : root.findChildren<QLabel*>()) add(label, label->text());
  for (const auto* box : root.findChildren<QGroupBox*>()) add(box, box->title());
  for (const auto* button : root.findChildren<QAbstractButton*>()) add(button, button->text());
  return texts;
}

}  // namespace

class WindowProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { tavrel::UseJapaneseFontFallback(); }

  // Run by the Linux side (tests/windows/wine_tavrel_test.cpp) with its
  // virtual LOMIRA-P/S on COM1; it checks what reached the camera.
  void arrowClickOnCom1WritesOnce() {
    tavrel::CameraUnit camera;
    QTemporaryDir folder;
    tavrel::ProfileStore profile(folder.filePath(QStringLiteral("profile.ini")));
    RecordingPrompt prompt;
    tavrel::AppServices services;
    services.prompt = &prompt;
    tavrel::CTavrelApp app(camera, profile, services);
    tavrel::StartOptions start;
    tavrel::CommSelection com1;
    com1.opened = true;
    start.preset = com1;
    start.presetCameraType = 0;  // LOMIRA-P/S
    QCOMPARE(app.InitInstance(start), tavrel::CTavrelApp::StartResult::kRunning);
    QCOMPARE(prompt.MessageTexts(), std::vector<std::string>{});
    QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));

    auto* bar = tavrel::ui::FindControlAs<QScrollBar>(app.MainFrame(), tavrel::panel::kGainBar);
    QVERIFY(bar != nullptr);
    const int before = bar->value();
    QTest::mouseClick(bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(bar->value(), before + 1);
    QCOMPARE(prompt.MessageTexts(), std::vector<std::string>{});
  }

  // Settings files named in Japanese, in a folder named in Japanese: saved
  // with Save As, listed among the recent files with Windows' separators, and
  // handed over by a second tavrel.exe started with the name, which this
  // program then opens and writes to the camera.
  void japaneseFileNamesSavedListedHandedOverAndOpened() {
    QTemporaryDir temporary;
    const QString folder = temporary.filePath(QStringLiteral("カメラ設定"));
    QVERIFY(QDir().mkpath(folder));
    sim::CameraOptions lomira;
    lomira.model = "LOMIRA-P/S";
    sim::InProcessCamera virtualCamera(lomira);
    virtualCamera.WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x2A, 0x00});  // GAIN 42
    tavrel::CameraUnit camera;
    camera.RouteComPort(1, [&virtualCamera] { return virtualCamera.Connect(); });
    tavrel::ProfileStore profile(temporary.filePath(QStringLiteral("profile.ini")));
    RecordingPrompt prompt;
    tavrel::testing::ScriptedFileChooser files;
    tavrel::AppServices services;
    services.prompt = &prompt;
    services.files = &files;
    services.showWindow = false;
    tavrel::CTavrelApp app(camera, profile, services);
    tavrel::StartOptions start;
    tavrel::CommSelection com1;
    com1.opened = true;
    start.preset = com1;
    start.presetCameraType = 0;  // LOMIRA-P/S
    QCOMPARE(app.InitInstance(start), tavrel::CTavrelApp::StartResult::kRunning);

    const QString saved = folder + QStringLiteral("/テスト.tdx");
    files.answers.push_back(saved);
    QAction* saveAs = app.MainFrame()->FindAction(tavrel::cmd::kFileSaveAs);
    QVERIFY(saveAs != nullptr);
    saveAs->trigger();
    QCOMPARE(QFileInfo(saved).size(), qint64(540));
    QCOMPARE(app.Document()->Title(), QStringLiteral("テスト.tdx"));
    QCOMPARE(profile.GetProfileString(QStringLiteral("Recent File List"), QStringLiteral("File1")),
             QDir::toNativeSeparators(saved));

    const QString handed = folder + QStringLiteral("/カメラ.tdx");
    QVERIFY(QFile::copy(saved, handed));
    virtualCamera.WriteRegister(0x01, 0x01, 0x0C, {0x00, 0x07, 0x00});
    const QString channelName =
        QStringLiteral("tavrel-test-japanese-%1").arg(QCoreApplication::applicationPid());
    tavrel::InstanceChannel channel;
    QVERIFY(channel.Listen(channelName));
    connect(&channel, &tavrel::InstanceChannel::fileReceived, &app,
            [&app](const QString& path) { app.Document()->OpenDocumentFile(path); });
    channel.Serve();
    QProcess second;
    second.setProcessEnvironment(tavrel::testing::ProgramEnvironment(channelName));
    second.start(QStringLiteral(TAVREL_PROGRAM), {QDir::toNativeSeparators(handed)});
    QTRY_COMPARE_WITH_TIMEOUT(app.Document()->Title(), QStringLiteral("カメラ.tdx"), 20000);
    // Waited for with events going: the second one ends once this one has
    // taken the file and closed the connection.
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(prompt.MessageTexts(), std::vector<std::string>{});
    // The file's GAIN went back to the camera.
    QCOMPARE(virtualCamera.ReadRegister(0x01, 0x01, 0x0C)[1], std::uint8_t{0x2A});
    QCOMPARE(app.Document()->RecentFiles().front(), QDir::toNativeSeparators(handed));
  }

  // The channel a settings file is handed over on belongs to one logon of
  // the user: its name holds the user's name and the logon's SID.
  void channelNameHoldsTheUserAndTheLogon() {
    qunsetenv("TAVREL_INSTANCE_NAME");
    const QString name = tavrel::InstanceChannel::DefaultName();
    const QString user = qEnvironmentVariable("USERNAME");
    QVERIFY(!user.isEmpty());
    QVERIFY2(name.startsWith(QStringLiteral("tavrel-%1-S-1-5-5-").arg(user)), qPrintable(name));
  }

  // Every Japanese label has a glyph for each of its characters, and those
  // the dialog font lacks come from Windows' Japanese interface fonts, the
  // first one the system has (the prefix has IPAex Gothic as Yu Gothic UI).
  void registerEditorLabelsInTheSystemsJapaneseFont() {
    tavrel::CameraUnit camera;
    tavrel::CCommandMenuDlg dialog(camera);
    const std::vector<JapaneseText> texts = JapaneseTexts(dialog);
    QVERIFY(texts.size() >= 6);
    for (const JapaneseText& item : texts) {
      const QString latin = QFontInfo(item.font).family();
      QTextLayout layout(item.text, item.font);
      layout.beginLayout();
      layout.createLine();
      layout.endLayout();
      bool japaneseFontUsed = false;
      for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 glyph : run.glyphIndexes()) {
          QVERIFY2(glyph != 0, qPrintable(item.text + " lacks a glyph"));
        }
        const QString family = run.rawFont().familyName();
        if (family == latin) continue;
        QCOMPARE(family, QStringLiteral("Yu Gothic UI"));
        japaneseFontUsed = true;
      }
      QVERIFY2(japaneseFontUsed, qPrintable(item.text));
    }
  }

  // The icon Explorer and the Start menu show: group 128 in the program's
  // resources, in every size they ask for.
  void programIconInItsResources() {
    const HMODULE program =
        LoadLibraryExW(reinterpret_cast<LPCWSTR>(QStringLiteral(TAVREL_PROGRAM).utf16()), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    QVERIFY(program != nullptr);
    for (const int size : {16, 32, 48, 256}) {
      const auto icon = static_cast<HICON>(
          LoadImageW(program, MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
      QVERIFY2(icon != nullptr, qPrintable(QString::number(size)));
      ICONINFO info{};
      QVERIFY(GetIconInfo(icon, &info));
      BITMAP bitmap{};
      GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
      QCOMPARE(bitmap.bmWidth, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
    FreeLibrary(program);
  }
};

QTEST_MAIN(WindowProgramTest)
#include "window_program_test.moc"
