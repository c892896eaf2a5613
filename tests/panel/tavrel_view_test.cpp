// The control panel against a virtual camera on a pseudo-terminal: every click
// and scroll goes through the document and the real link.
#include "panel/tavrel_view.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "panel/panel_ids.h"
#include "panel/panel_values.h"
#include "sim/pty_camera.h"
#include "tests/panel/bar_watch.h"
#include "tests/panel/panel_rig.h"
#include "tests/support/recording_prompt.h"
#include "tests/support/scroll_bar_parts.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

using namespace tavrel;
using namespace tavrel::panel;
using tavrel::testing::BoxWithEventLoop;
using tavrel::testing::PartCentre;
using tavrel::testing::Repeating;
using tavrel::testing::WritesOf;

namespace {

// The panel over one camera model, with what the view tests look at and do.
struct Rig : testing::PanelRig {
  explicit Rig(int type, int serialInProfile = -1) : PanelRig(type, {}, serialInProfile) {}

  QAbstractButton* Button(int id) const {
    return ui::FindControlAs<QAbstractButton>(view.get(), id);
  }
  QScrollBar* Bar(int id) const { return ui::FindControlAs<QScrollBar>(view.get(), id); }
  bool Enabled(int id) const { return ui::FindControl(view.get(), id)->isEnabled(); }
  // Sets a stored value without the panel and shows it, as a read would.
  void Store(int entry, int value) {
    QVERIFY(document.WriteParameter(entry, value) >= 0);
    view->OnUpdate();
  }
  void FailNextExchanges(int after = 0) {
    simulator->AddFault({sim::FaultKind::kEnqNak, 4, after});
  }
};

}  // namespace

class TavrelViewTest : public QObject {
  Q_OBJECT
 private slots:
  void initialUpdatePerModel_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("gainMax");
    QTest::addColumn<int>("blackMax");
    QTest::addColumn<int>("shutterMax");
    QTest::addColumn<int>("lineMax");
    QTest::addColumn<QString>("firstPreset");
    QTest::addColumn<bool>("resetControl");
    QTest::addColumn<bool>("accel");
    QTest::newRow("LOMIRA-P/S") << 0 << 462 << 31 << 929 << 1236 << "1/15" << false << false;
    QTest::newRow("PAVON-P/S") << 1 << 462 << 31 << 818 << 768 << "1/36" << true << false;
    QTest::newRow("SOVELI-P/S") << 2 << 462 << 31 << 787 << 494 << "1/60" << true << false;
    QTest::newRow("RINDAL-P/S") << 3 << 462 << 31 << 770 << 494 << "1/91" << false << false;
    QTest::newRow("KESTRA-P/S") << 4 << 336 << 32 << 834 << 1236 << "1/30" << false << true;
    QTest::newRow("QUESSA-P/S") << 5 << 336 << 32 << 720 << 494 << "1/120" << false << true;
    QTest::newRow("TEMBRA-P/S") << 6 << 336 << 32 << 787 << 494 << "1/60" << false << true;
  }
  void initialUpdatePerModel() {
    QFETCH(int, type);
    QFETCH(int, gainMax);
    QFETCH(int, blackMax);
    QFETCH(int, shutterMax);
    QFETCH(int, lineMax);
    QFETCH(QString, firstPreset);
    QFETCH(bool, resetControl);
    QFETCH(bool, accel);
    Rig rig(type);
    QCOMPARE(rig.Bar(kGainBar)->maximum(), gainMax);
    QCOMPARE(rig.Bar(kBlackLevelBar)->maximum(), blackMax);
    QCOMPARE(rig.Bar(kAdjustGainBar)->maximum(), 1023);
    QCOMPARE(rig.Bar(kVariableShutterBar)->maximum(), shutterMax);
    for (int bar : {kStartBar, kWidthBar}) {
      QCOMPARE(rig.Bar(bar)->minimum(), 1);
      QCOMPARE(rig.Bar(bar)->maximum(), lineMax);
    }
    QCOMPARE(rig.Button(1006)->text(), firstPreset);
    QCOMPARE(rig.Button(1012)->text(), QString("1/10000"));
    QCOMPARE(rig.Button(1013)->text(), QString("1/50000"));
    QCOMPARE(rig.Enabled(kTriggerResetControl), resetControl);
    for (int id : {kAccelOff, kAccelOn, kAccelGroup}) QCOMPARE(rig.Enabled(id), accel);
    QCOMPARE(rig.view->windowTitle(), " " + QString::fromStdString(CameraModelName(type)));
    for (int id : {kAdjustGainBar, kSerialGroup, kSerialNumberEdit, kIdentGroup, kIdentReadButton,
                   kVendorNameText, kBackUpButton}) {
      QVERIFY2(ui::FindControl(rig.view.get(), id)->isHidden(), qPrintable(QString::number(id)));
    }
    QVERIFY(!rig.Bar(kGainBar)->isHidden());
  }

  void serialNumberComesFromTheProfile() {
    Rig rig(0, 4711);
    QCOMPARE(ui::FindControlAs<QLineEdit>(rig.view.get(), kSerialNumberEdit)->text(),
             QString("0004711"));
  }

  // Every radio button, clicked with the mouse: the command body on the line
  // and the progress text before it. The trigger mode stored first enables
  // the button's group.
  void clickWritesTheButtonsValue_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("storedMode");  // trigger mode before the click
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("name");  // in the progress text
    QTest::newRow("1066 OFF") << 0 << 1 << 1066 << 2 << 0 << "01FF0104000000"
                              << "TRIGGER MODE";
    QTest::newRow("1067 FIXED SHUTTER") << 0 << 0 << 1067 << 2 << 1 << "01FF0104010000"
                                        << "TRIGGER MODE";
    QTest::newRow("1068 1TRIGGER") << 0 << 0 << 1068 << 2 << 2 << "01FF0104020000"
                                   << "TRIGGER MODE";
    QTest::newRow("1069 RESET CONTROL") << 1 << 0 << 1069 << 2 << 3 << "01FF0104030000"
                                        << "TRIGGER MODE";
    QTest::newRow("1070 VD RESET") << 0 << 0 << 1070 << 2 << 4 << "01FF0104040000"
                                   << "TRIGGER MODE";
    QTest::newRow("1005 OFF") << 0 << 0 << 1005 << 1 << 0 << "01FF0108000000"
                              << "SHUTTER SPEED";
    QTest::newRow("1006 1/15") << 0 << 0 << 1006 << 1 << 1 << "01FF0108010000"
                               << "SHUTTER SPEED";
    QTest::newRow("1007 1/60") << 0 << 0 << 1007 << 1 << 2 << "01FF0108020000"
                               << "SHUTTER SPEED";
    QTest::newRow("1008 1/125") << 0 << 0 << 1008 << 1 << 3 << "01FF0108030000"
                                << "SHUTTER SPEED";
    QTest::newRow("1009 1/250") << 0 << 0 << 1009 << 1 << 4 << "01FF0108040000"
                                << "SHUTTER SPEED";
    QTest::newRow("1010 1/1000") << 0 << 0 << 1010 << 1 << 5 << "01FF0108050000"
                                 << "SHUTTER SPEED";
    QTest::newRow("1011 1/2000") << 0 << 0 << 1011 << 1 << 6 << "01FF0108060000"
                                 << "SHUTTER SPEED";
    QTest::newRow("1012 1/10000") << 0 << 0 << 1012 << 1 << 7 << "01FF0108070000"
                                  << "SHUTTER SPEED";
    QTest::newRow("1013 1/50000") << 0 << 0 << 1013 << 1 << 8 << "01FF0108080000"
                                  << "SHUTTER SPEED";
    QTest::newRow("1014 VARIABLE") << 0 << 0 << 1014 << 1 << 255 << "01FF0108FF0000"
                                   << "SHUTTER SPEED";
    QTest::newRow("1115 TRIG-A POSI") << 0 << 1 << 1115 << 3 << 0 << "01FF010F000000"
                                      << "TRIGGER POLARITY";
    QTest::newRow("1116 TRIG-A NEGA") << 0 << 1 << 1116 << 3 << 1 << "01FF010F010000"
                                      << "TRIGGER POLARITY";
    QTest::newRow("1119 TRIG-B POSI") << 1 << 3 << 1119 << 4 << 0 << "01FF0110000000"
                                      << "TRIGGER POLARITY";
    QTest::newRow("1120 TRIG-B NEGA") << 1 << 3 << 1120 << 4 << 1 << "01FF0110010000"
                                      << "TRIGGER POLARITY";
    QTest::newRow("1097 HD NON-RESET") << 0 << 1 << 1097 << 5 << 0 << "01FF0102000000"
                                       << "HD RESET";
    QTest::newRow("1098 HD RESET") << 0 << 1 << 1098 << 5 << 1 << "01FF0102010000"
                                   << "HD RESET";
    QTest::newRow("1176 DATA BIT 8bit") << 0 << 0 << 1176 << 6 << 0 << "01FF0114000000"
                                        << "DATA BIT";
    QTest::newRow("1177 DATA BIT 10bit") << 0 << 0 << 1177 << 6 << 1 << "01FF0114010000"
                                         << "DATA BIT";
    QTest::newRow("1157 2xACCEL OFF") << 4 << 0 << 1157 << 17 << 0 << "01FF0113000000"
                                      << "Accelrated ON/OFF";
    QTest::newRow("1158 2xACCEL ON") << 4 << 0 << 1158 << 17 << 1 << "01FF0113010000"
                                     << "Accelrated ON/OFF";
    QTest::newRow("1178 VD/FVAL VD") << 0 << 0 << 1178 << 21 << 0 << "01FF0115000000"
                                     << "VD FVAL";
    QTest::newRow("1179 VD/FVAL FVAL") << 0 << 0 << 1179 << 21 << 1 << "01FF0115010000"
                                       << "VD FVAL";
    QTest::newRow("1180 HD/LVAL HD") << 0 << 0 << 1180 << 22 << 0 << "01FF0116000000"
                                     << "HD/LVAL";
    QTest::newRow("1181 HD/LVAL LVAL") << 0 << 0 << 1181 << 22 << 1 << "01FF0116010000"
                                       << "HD/LVAL";
    QTest::newRow("1015 PARTIAL SCAN OFF") << 0 << 0 << 1015 << 24 << 0 << "01FF011E000000"
                                           << "Partial Scan ON/OFF";
    QTest::newRow("1016 PARTIAL SCAN ON") << 0 << 0 << 1016 << 24 << 1 << "01FF011E010000"
                                          << "Partial Scan ON/OFF";
  }
  void clickWritesTheButtonsValue() {
    QFETCH(int, type);
    QFETCH(int, storedMode);
    QFETCH(int, button);
    QFETCH(int, entry);
    QFETCH(int, value);
    QFETCH(QString, body);
    QFETCH(QString, name);
    Rig rig(type);
    rig.Store(kEntryTriggerMode, storedMode);
    QVERIFY(rig.Enabled(button));
    const int before = rig.Exchanges();
    QTest::mouseClick(rig.Button(button), Qt::LeftButton);
    QCOMPARE(rig.Exchanges(), before + 1);
    QCOMPARE(QString::fromStdString(rig.simulator->ReceivedBodies().back()), body);
    QCOMPARE(rig.document.GetParameter(entry), value);
    QCOMPARE(rig.CameraValue(entry), value);
    QVERIFY(rig.Button(button)->isChecked());
    QVERIFY(rig.prompt.messages.empty());
    QCOMPARE(QString::fromStdString(rig.prompt.statusTexts.back()),
             "Sending " + name + " data to camera...");
  }

  void reclickingTheCheckedButtonWritesAgain() {
    Rig rig(0);
    QVERIFY(rig.Button(kTriggerOff)->isChecked());
    const int before = rig.Exchanges();
    rig.Button(kTriggerOff)->click();
    rig.Button(kTriggerOff)->click();
    QCOMPARE(rig.Exchanges(), before + 2);
    QVERIFY(rig.Button(kTriggerOff)->isChecked());
  }

  void backUpWritesOne() {
    Rig rig(0);
    const int before = rig.Exchanges();
    rig.Button(kBackUpButton)->click();
    QCOMPARE(rig.Exchanges(), before + 1);
    QCOMPARE(rig.simulator->ReceivedBodies().back(), std::string("01FF0100010000"));
    QCOMPARE(rig.document.GetParameter(kEntryBackUp), 1);
  }

  void failedWriteRestoresTheStoredButton() {
    Rig rig(0);
    rig.FailNextExchanges();
    rig.Button(kTriggerFixedShutter)->click();
    QCOMPARE(rig.prompt.messages.size(), size_t(1));
    QVERIFY(rig.Button(kTriggerOff)->isChecked());
    QVERIFY(!rig.Button(kTriggerFixedShutter)->isChecked());
    QCOMPARE(rig.document.GetParameter(kEntryTriggerMode), 0);
    // OFF's rules are back as well.
    QVERIFY(!rig.Enabled(kPolarityGroup));
  }

  void failedPartialScanOnLeavesOff() {
    Rig rig(0);
    rig.FailNextExchanges();
    rig.Button(kPartialScanOn)->click();
    QCOMPARE(rig.prompt.messages.size(), size_t(1));
    QVERIFY(rig.Button(kPartialScanOff)->isChecked());
    for (int id : {kStartBar, kWidthBar, kStartText, kWidthText, kStartLabel, kWidthLabel}) {
      QVERIFY(!rig.Enabled(id));
    }
    QCOMPARE(rig.Text(kVerticalActiveText), QString(" 1236 "));
  }

  void storedValuesWithoutAButtonCheckNone() {
    Rig rig(0);
    rig.camera.SetValue(kEntryVdFval, 2, false);
    rig.camera.SetValue(kEntryShutter, 9, false);
    rig.camera.SetValue(kEntryTriggerMode, 7, false);
    rig.view->OnUpdate();
    QVERIFY(!rig.Button(kVd)->isChecked() && !rig.Button(kFval)->isChecked());
    for (int id = kShutterOff; id <= kShutterVariable; ++id) QVERIFY(!rig.Button(id)->isChecked());
    for (int id = kTriggerOff; id <= kTriggerVdReset; ++id) QVERIFY(!rig.Button(id)->isChecked());
  }

  void storedResetControlChecksTheDisabledButton() {
    Rig rig(0);
    rig.Store(kEntryTriggerMode, 3);
    QVERIFY(rig.Button(kTriggerResetControl)->isChecked());
    QVERIFY(!rig.Enabled(kTriggerResetControl));
    QVERIFY(rig.Enabled(kTrigBGroup));
  }

  // The trigger mode clicked -> shutter buttons, variable shutter, TRIG-B,
  // HD RESET (with VARIABLE stored as the shutter).
  void enablingFollowsTheTriggerMode_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("button");
    QTest::addColumn<QList<bool>>("expected");
    QTest::newRow("OFF") << 1 << kTriggerOff << QList{true, true, false, false};
    QTest::newRow("FIXED SHUTTER") << 1 << kTriggerFixedShutter << QList{true, true, false, true};
    QTest::newRow("1TRIGGER, VARIABLE kept")
        << 1 << kTrigger1Trigger << QList{false, true, false, true};
    QTest::newRow("RESET CONTROL") << 1 << kTriggerResetControl << QList{false, true, true, true};
    QTest::newRow("VD RESET") << 1 << kTriggerVdReset << QList{true, true, false, false};
    QTest::newRow("FIXED SHUTTER, RINDAL")
        << 3 << kTriggerFixedShutter << QList{true, true, false, false};
  }
  void enablingFollowsTheTriggerMode() {
    QFETCH(int, type);
    QFETCH(int, button);
    QFETCH(QList<bool>, expected);
    Rig rig(type);
    rig.Store(kEntryShutter, kShutterVariableValue);
    rig.Store(kEntryTriggerMode, 1);
    rig.Button(button)->click();
    QVERIFY(rig.Button(kShutterVariable)->isChecked());
    const QList<bool> got{rig.Enabled(1009), rig.Enabled(kVariableShutterBar),
                          rig.Enabled(kTrigBNega), rig.Enabled(kHdReset)};
    QCOMPARE(got, expected);
    QCOMPARE(rig.Enabled(kShutterGroup), rig.Enabled(kShutterOff));
  }

  void shutterClickEnablesTheVariableSection() {
    Rig rig(0);
    rig.Store(kEntryShutter, 0);
    QVERIFY(!rig.Enabled(kVariableShutterBar));
    rig.Button(kShutterVariable)->click();
    QVERIFY(rig.Enabled(kVariableShutterBar) && rig.Enabled(kVariableValueLabel));
    rig.Button(1006)->click();
    QVERIFY(!rig.Enabled(kVariableShutterText));
  }

  void scrollSteps_data() {
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("text");
    QTest::newRow("line left at 0")
        << kGainBar << 0 << int(QAbstractSlider::SliderSingleStepSub) << 0 << "0.00 dB";
    QTest::newRow("line right") << kGainBar << 0 << int(QAbstractSlider::SliderSingleStepAdd) << 1
                                << "0.04 dB";
    QTest::newRow("page right") << kGainBar << 5 << int(QAbstractSlider::SliderPageStepAdd) << 15
                                << "0.60 dB";
    QTest::newRow("page right clamped")
        << kBlackLevelBar << 25 << int(QAbstractSlider::SliderPageStepAdd) << 31 << " 31 ";
    QTest::newRow("page left clamped")
        << kBlackLevelBar << 4 << int(QAbstractSlider::SliderPageStepSub) << 0 << " 0 ";
  }
  void scrollSteps() {
    QFETCH(int, bar);
    QFETCH(int, start);
    QFETCH(int, action);
    QFETCH(int, expected);
    QFETCH(QString, text);
    Rig rig(0);
    const int entry = bar == kGainBar ? kEntryGain : kEntryBlackLevel;
    const int textId = bar == kGainBar ? kGainText : kBlackLevelText;
    rig.Store(entry, start);
    const int before = rig.Exchanges();
    rig.Bar(bar)->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
    QCOMPARE(rig.Exchanges(), before + 1);
    QCOMPARE(rig.Bar(bar)->value(), expected);
    QCOMPARE(rig.CameraValue(entry), expected);
    QCOMPARE(rig.Text(textId), text);
  }

  void arrowClickWritesOneStep() {
    Rig rig(0);
    rig.view->show();
    QScrollBar* bar = rig.Bar(kGainBar);
    const int before = rig.Exchanges();
    QTest::mouseClick(bar, Qt::LeftButton, {}, PartCentre(bar, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(rig.Exchanges(), before + 1);
    QCOMPARE(bar->value(), 1);
    QCOMPARE(rig.Text(kGainText), QString("0.04 dB"));
  }

  // A click on an arrow or in the trough, as the user makes it: one write,
  // and with a camera that refuses, one box and no repeat behind it.
  void clickOnBarWritesOnce_data() {
    QTest::addColumn<int>("part");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("refusing");
    QTest::addColumn<int>("expected");
    const struct {
      const char* name;
      QStyle::SubControl part;
      int moved;
    } parts[] = {
        {"right arrow", QStyle::SC_ScrollBarAddLine, 26},
        {"left arrow", QStyle::SC_ScrollBarSubLine, 24},
        {"trough right", QStyle::SC_ScrollBarAddPage, 35},
        {"trough left", QStyle::SC_ScrollBarSubPage, 15},
    };
    const Qt::KeyboardModifiers none;
    for (const auto& p : parts) {
      QTest::addRow("%s, working camera", p.name) << int(p.part) << none << false << p.moved;
      QTest::addRow("%s, refusing camera", p.name) << int(p.part) << none << true << 25;
    }
    // Shift does not turn a click in the trough into a jump.
    QTest::newRow("trough right with shift")
        << int(QStyle::SC_ScrollBarAddPage) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false
        << 35;
  }
  void clickOnBarWritesOnce() {
    QFETCH(int, part);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, refusing);
    QFETCH(int, expected);
    Rig rig(0);
    rig.view->show();
    rig.Store(kEntryGain, 25);
    QScrollBar* bar = rig.Bar(kGainBar);
    BoxWithEventLoop box(bar);
    rig.camera.SetUserPrompt(&box);
    if (refusing) rig.simulator->AddFault({sim::FaultKind::kEnqNak});
    const QPoint at = PartCentre(bar, static_cast<QStyle::SubControl>(part));

    QTest::mousePress(bar, Qt::LeftButton, modifiers, at);
    // Behind a box the release never reaches the bar: whatever the bar does
    // on its own now is what the user would get.
    QCoreApplication::processEvents();
    QCOMPARE(Repeating(bar), !refusing);
    QTest::mouseRelease(bar, Qt::LeftButton, modifiers, at);
    QCoreApplication::processEvents();

    QCOMPARE(WritesOf(rig, kEntryGain, box), 1);
    QCOMPARE(box.messages.size(), size_t(refusing ? 1 : 0));
    QCOMPARE(box.settled, refusing);
    QCOMPARE(bar->value(), expected);
    QCOMPARE(bar->sliderPosition(), expected);
    QCOMPARE(rig.Text(kGainText), QString::fromStdString(GainText(0, expected)));
    rig.camera.SetUserPrompt(&rig.prompt);
    if (!refusing) QCOMPARE(rig.CameraValue(kEntryGain), expected);
  }

  void holdingTheArrowRepeatsOnAWorkingCamera() {
    Rig rig(0);
    rig.view->show();
    rig.Store(kEntryGain, 25);
    QScrollBar* bar = rig.Bar(kGainBar);
    const QPoint at = PartCentre(bar, QStyle::SC_ScrollBarAddLine);
    const int before = WritesOf(rig, kEntryGain);
    QTest::mousePress(bar, Qt::LeftButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(WritesOf(rig, kEntryGain) >= before + 3, 10000);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    QVERIFY(!Repeating(bar));
    const int writes = WritesOf(rig, kEntryGain) - before;
    QCOMPARE(bar->value(), 25 + writes);
    QCOMPARE(rig.CameraValue(kEntryGain), 25 + writes);
    QVERIFY(rig.prompt.messages.empty());
  }

  // Only arrows, trough and thumb move a bar: the wheel and the jumps to a
  // clicked position send nothing and change nothing.
  void wheelAndJumpsSendNothing_data() {
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("gesture");
    for (int bar : {kGainBar, kBlackLevelBar, kStartBar}) {
      for (const char* gesture : {"wheel up", "wheel down", "wheel sideways", "middle click",
                                  "middle drag", "context menu"}) {
        QTest::addRow("%d %s", bar, gesture) << bar << QString::fromLatin1(gesture);
      }
    }
  }
  void wheelAndJumpsSendNothing() {
    QFETCH(int, bar);
    QFETCH(QString, gesture);
    Rig rig(0);
    rig.view->show();
    const BarBinding& binding = *FindBarBinding(bar);
    rig.Store(kEntryPartialScan, 1);
    rig.Store(binding.entry, 12);
    QScrollBar* scrollBar = rig.Bar(bar);
    const QString text = rig.Text(binding.textId);
    const QPoint trough = PartCentre(scrollBar, QStyle::SC_ScrollBarAddPage);
    const int exchanges = rig.Exchanges();

    if (gesture.startsWith("wheel")) {
      const QPoint delta = gesture == "wheel up"     ? QPoint(0, 120)
                           : gesture == "wheel down" ? QPoint(0, -120)
                                                     : QPoint(-120, 0);
      QWheelEvent wheel(trough, scrollBar->mapToGlobal(trough), {}, delta, Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(scrollBar, &wheel);
    } else if (gesture == "context menu") {
      // A menu would run its own loop: close whatever pops up, and say so.
      bool menuShown = false;
      QObject scope;
      QTimer::singleShot(0, &scope, [&menuShown] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
          menuShown = true;
          popup->close();
        }
      });
      QContextMenuEvent menu(QContextMenuEvent::Mouse, trough, scrollBar->mapToGlobal(trough));
      QApplication::sendEvent(scrollBar, &menu);
      QCoreApplication::processEvents();
      QVERIFY(!menuShown);
    } else {
      QTest::mousePress(scrollBar, Qt::MiddleButton, {}, trough);
      if (gesture == "middle drag") {
        QMouseEvent move(QEvent::MouseMove, trough + QPoint(5, 5), scrollBar->mapToGlobal(trough),
                         Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(scrollBar, &move);
      }
      QTest::mouseRelease(scrollBar, Qt::MiddleButton, {}, trough);
    }
    QCoreApplication::processEvents();

    QCOMPARE(rig.Exchanges(), exchanges);
    QCOMPARE(scrollBar->value(), 12);
    QCOMPARE(scrollBar->sliderPosition(), 12);
    QCOMPARE(rig.Text(binding.textId), text);
  }

  void refusedThumbDragEndsTheDrag() {
    Rig rig(0);
    rig.view->show();
    rig.Store(kEntryGain, 25);
    QScrollBar* bar = rig.Bar(kGainBar);
    BoxWithEventLoop box(bar);
    rig.camera.SetUserPrompt(&box);
    rig.simulator->AddFault({sim::FaultKind::kEnqNak});
    const QPoint thumb = PartCentre(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    for (int dx : {20, 40}) {
      QMouseEvent move(QEvent::MouseMove, thumb + QPoint(dx, 0), bar->mapToGlobal(thumb),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(bar, &move);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(40, 0));
    QCOMPARE(WritesOf(rig, kEntryGain, box), 1);
    QCOMPARE(box.messages.size(), size_t(1));
    QCOMPARE(bar->value(), 25);
    QCOMPARE(bar->sliderPosition(), 25);
    QVERIFY(!bar->isSliderDown());
    rig.camera.SetUserPrompt(&rig.prompt);
  }

  // START cannot grow while WIDTH fills the sensor and the camera refuses to
  // shrink WIDTH: the window stays on the sensor and the user sees one box.
  void refusedReductionLeavesTheMovedBar() {
    Rig rig(0);
    rig.view->show();
    rig.Store(kEntryPartialScan, 1);
    rig.Store(kEntryPartialStart, 1);
    rig.Store(kEntryPartialWidth, 1236);
    QScrollBar* start = rig.Bar(kStartBar);
    BoxWithEventLoop box(start);
    rig.camera.SetUserPrompt(&box);
    rig.simulator->AddFault({sim::FaultKind::kEnqNak});
    const QPoint arrow = PartCentre(start, QStyle::SC_ScrollBarAddLine);
    QTest::mouseClick(start, Qt::LeftButton, {}, arrow);
    QCOMPARE(WritesOf(rig, kEntryPartialWidth, box), 1);
    QCOMPARE(WritesOf(rig, kEntryPartialStart, box), 0);
    QCOMPARE(box.messages.size(), size_t(1));
    QCOMPARE(start->value(), 1);
    QCOMPARE(rig.Bar(kWidthBar)->value(), 1236);
    rig.camera.SetUserPrompt(&rig.prompt);
  }

  void toTopToBottomWriteNothing() {
    Rig rig(0);
    rig.Store(kEntryGain, 25);
    const int before = rig.Exchanges();
    rig.Bar(kGainBar)->triggerAction(QAbstractSlider::SliderToMinimum);
    rig.Bar(kGainBar)->triggerAction(QAbstractSlider::SliderToMaximum);
    rig.view->HandleScroll(kGainBar, ScrollRequest::kEndScroll);
    QCOMPARE(rig.Exchanges(), before);
    QCOMPARE(rig.Bar(kGainBar)->value(), 25);
    QCOMPARE(rig.Bar(kGainBar)->sliderPosition(), 25);
  }

  void thumbDragWritesEachMoveAndTheRelease() {
    Rig rig(0);
    rig.Store(kEntryShutter, kShutterVariableValue);
    QScrollBar* bar = rig.Bar(kVariableShutterBar);
    const int before = rig.Exchanges();
    bar->setSliderDown(true);
    bar->setSliderPosition(768);
    QCOMPARE(rig.Text(kVariableShutterText), QString("1/100.00 sec"));
    bar->setSliderPosition(256);
    bar->setSliderDown(false);
    QCOMPARE(rig.Exchanges(), before + 3);
    QCOMPARE(bar->value(), 256);
    QCOMPARE(rig.CameraValue(kEntryVariableShutter), 256);
    QCOMPARE(rig.Text(kVariableShutterText), QString("1/10000.00 sec"));
  }

  void failedScrollWriteLeavesBarAndText() {
    Rig rig(0);
    rig.Store(kEntryGain, 25);
    rig.FailNextExchanges();
    rig.Bar(kGainBar)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(rig.prompt.messages.size(), size_t(1));
    QCOMPARE(rig.Bar(kGainBar)->value(), 25);
    QCOMPARE(rig.Bar(kGainBar)->sliderPosition(), 25);
    QCOMPARE(rig.Text(kGainText), QString("1.00 dB"));
  }

  void startPushesWidthBackFirst() {
    Rig rig(0);
    rig.Store(kEntryPartialScan, 1);
    rig.Store(kEntryPartialStart, 1);
    rig.Store(kEntryPartialWidth, 500);
    rig.view->HandleScroll(kStartBar, ScrollRequest::kThumbPosition, 1000);
    QCOMPARE(rig.Bar(kWidthBar)->value(), 237);
    QCOMPARE(rig.Text(kWidthText), QString(" 237 "));
    QCOMPARE(rig.Bar(kStartBar)->value(), 1000);
    QCOMPARE(rig.CameraValue(kEntryPartialWidth), 237);
    QCOMPARE(rig.CameraValue(kEntryPartialStart), 1000);
    QCOMPARE(rig.Text(kVerticalActiveText), QString(" 237 "));
  }

  void widthReductionStaysWhenTheStartWriteFails() {
    Rig rig(0);
    rig.Store(kEntryPartialScan, 1);
    rig.Store(kEntryPartialWidth, 500);
    rig.FailNextExchanges(1);  // the WIDTH write passes, the START write fails
    rig.view->HandleScroll(kStartBar, ScrollRequest::kThumbPosition, 1000);
    QCOMPARE(rig.prompt.messages.size(), size_t(1));
    QCOMPARE(rig.Bar(kWidthBar)->value(), 237);
    QCOMPARE(rig.Bar(kStartBar)->value(), 1);
  }

  // One line step on START or WIDTH with the arrow key (LOMIRA-P/S, 1237
  // lines): the other bar is written first only when the window would pass
  // the last line, and never raised.
  void lineStepKeepsTheScanWindowInside_data() {
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("bodies");
    QTest::addColumn<int>("startAfter");
    QTest::addColumn<int>("widthAfter");
    QTest::newRow("START, room left")
        << kStartBar << 100 << 500 << QStringList{"01FF011F006500"} << 101 << 500;
    QTest::newRow("START reduces WIDTH")
        << kStartBar << 737 << 500 << QStringList{"01FF012001F300", "01FF011F02E200"} << 738 << 499;
    QTest::newRow("WIDTH, room left")
        << kWidthBar << 100 << 500 << QStringList{"01FF012001F500"} << 100 << 501;
    QTest::newRow("WIDTH reduces START")
        << kWidthBar << 737 << 500 << QStringList{"01FF011F02E000", "01FF012001F500"} << 736 << 501;
  }
  void lineStepKeepsTheScanWindowInside() {
    QFETCH(int, bar);
    QFETCH(int, start);
    QFETCH(int, width);
    QFETCH(QStringList, bodies);
    QFETCH(int, startAfter);
    QFETCH(int, widthAfter);
    Rig rig(0);
    rig.Store(kEntryPartialScan, 1);
    rig.Store(kEntryPartialStart, start);
    rig.Store(kEntryPartialWidth, width);
    const int before = rig.Exchanges();
    QTest::keyClick(rig.Bar(bar), Qt::Key_Down);
    QStringList sent;
    for (const std::string& body : rig.simulator->ReceivedBodies()) {
      sent << QString::fromStdString(body);
    }
    QCOMPARE(sent.mid(before), bodies);
    QCOMPARE(rig.Bar(kStartBar)->value(), startAfter);
    QCOMPARE(rig.Bar(kWidthBar)->value(), widthAfter);
    QCOMPARE(rig.Text(kStartText), QString(" %1 ").arg(startAfter));
    QCOMPARE(rig.Text(kWidthText), QString(" %1 ").arg(widthAfter));
  }

  void timingFollowsThePartialScanBars() {
    Rig rig(0);
    rig.Store(kEntryPartialStart, 100);
    rig.Store(kEntryPartialWidth, 500);
    QCOMPARE(rig.Text(kVerticalTotalText), QString(" 1252 "));  // partial scan OFF
    rig.Button(kPartialScanOn)->click();
    const QStringList got{rig.Text(kVerticalSyncText), rig.Text(kVerticalBporchText),
                          rig.Text(kVerticalActiveText), rig.Text(kVerticalFporchText),
                          rig.Text(kVerticalTotalText)};
    QCOMPARE(got, (QStringList{" 3 ", " 16 ", " 500 ", " 52 ", " 571 "}));
    QCOMPARE(rig.Text(kHorizontalTotalText), QString(" 1920 "));
    QVERIFY(rig.Enabled(kStartBar));
  }

  void timerFailureIsReported() {
    Rig rig(0);
    CTavrelView view(rig.document, *rig.profile, [](QObject&, int) { return 0; });
    QCOMPARE(rig.prompt.messages.size(), size_t(1));
    QCOMPARE(rig.prompt.messages[0].text, std::string("Error: Timer creation failed!"));
    QCOMPARE(rig.prompt.messages[0].caption, std::string(" TAVREL CONTROL"));
  }
};

QTEST_MAIN(TavrelViewTest)
#include "tavrel_view_test.moc"
