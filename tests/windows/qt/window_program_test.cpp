// What the window program does its own way on Windows, run under Wine: the
// control panel over the Win32 COM port, the register editor's Japanese
// labels in the system's Japanese fonts, and the program's icon as Explorer
// loads it.
#include <windows.h>

#include <QAbstractButton>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QRawFont>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>
#include <string>
#include <vector>

#include "app/command_menu_dlg.h"
#include "app/desktop_platform.h"
#include "app/main_frame.h"
#include "app/tavrel_app.h"
#include "model/camera_unit.h"
#include "panel/panel_ids.h"
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
