#include "panel/panel_values.h"

#include <QTest>
#include <algorithm>

#include "panel/panel_bindings.h"
#include "panel/panel_ids.h"

using namespace tavrel::panel;

class PanelValuesTest : public QObject {
  Q_OBJECT
 private slots:
  void variableShutterText_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("10 us") << 0 << "1/100000.00 sec";
    QTest::newRow("100 us") << 256 << "1/10000.00 sec";
    QTest::newRow("10 ms") << 768 << "1/100.00 sec";
    QTest::newRow("LOMIRA max") << 929 << "1/15.01 sec";
    QTest::newRow("PAVON max") << 818 << "1/36.26 sec";
    QTest::newRow("QUESSA max") << 720 << "1/120.30 sec";
    QTest::newRow("just under 1 s") << 1279 << "1/1.00 sec";
    QTest::newRow("1 s") << 1280 << "1.00 sec";
  }
  void variableShutterText() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(VariableShutterText(value)), text);
  }

  void gainText_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("LOMIRA 25") << 0 << 25 << "1.00 dB";
    QTest::newRow("RINDAL 462") << 3 << 462 << "18.48 dB";
    QTest::newRow("KESTRA 336") << 4 << 336 << "12.0288 dB";
    QTest::newRow("QUESSA 25") << 5 << 25 << "0.8950 dB";
    QTest::newRow("zero") << 0 << 0 << "0.00 dB";
  }
  void gainText() {
    QFETCH(int, type);
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(GainText(type, value)), text);
  }

  void plainText() { QCOMPARE(PlainValueText(31), std::string(" 31 ")); }

  void verticalTiming_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("figures");  // sync, bporch, active, fporch, total
    QTest::newRow("LOMIRA window 100/500") << 0 << true << 100 << 500 << QList{3, 16, 500, 52, 571};
    QTest::newRow("LOMIRA full window") << 0 << true << 1 << 1236 << QList{3, 9, 1236, 3, 1251};
    QTest::newRow("off ignores the bars") << 0 << false << 100 << 500 << QList{3, 9, 1236, 4, 1252};
    QTest::newRow("SOVELI fixed") << 2 << false << 1 << 1 << QList{9, 5, 494, 17, 525};
    QTest::newRow("QUESSA window") << 5 << true << 50 << 200 << QList{3, 21, 200, 55, 279};
  }
  void verticalTiming() {
    QFETCH(int, type);
    QFETCH(bool, on);
    QFETCH(int, start);
    QFETCH(int, width);
    QFETCH(QList<int>, figures);
    const TimingFigures t = VerticalTiming(type, on, start, width);
    QCOMPARE((QList<int>{t.sync, t.bporch, t.active, t.fporch, t.total}), figures);
  }

  void horizontalTimingIsShownAsPublished() {
    const TimingFigures kestra = HorizontalTiming(4);
    QCOMPARE((QList<int>{kestra.sync, kestra.bporch, kestra.active, kestra.fporch, kestra.total}),
             (QList<int>{100, 158, 1628, 32, 1920}));
  }

  void shutterCaptions_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("LOMIRA") << 0
                            << QStringList{"1/15", "1/60", "1/125", "1/250", "1/1000", "1/2000"};
    QTest::newRow("PAVON") << 1
                           << QStringList{"1/36", "1/60", "1/125", "1/250", "1/1000", "1/2000"};
    QTest::newRow("SOVELI") << 2
                            << QStringList{"1/60", "1/250", "1/500", "1/1000", "1/2000", "1/4000"};
    QTest::newRow("RINDAL") << 3
                            << QStringList{"1/91", "1/250", "1/500", "1/1000", "1/2000", "1/4000"};
    QTest::newRow("KESTRA") << 4
                            << QStringList{"1/30", "1/60", "1/125", "1/250", "1/1000", "1/2000"};
    QTest::newRow("QUESSA") << 5
                            << QStringList{"1/120", "1/250", "1/500", "1/1000", "1/2000", "1/4000"};
    QTest::newRow("TEMBRA") << 6
                            << QStringList{"1/60", "1/250", "1/500", "1/1000", "1/2000", "1/4000"};
  }
  void shutterCaptions() {
    QFETCH(int, type);
    QFETCH(QStringList, captions);
    captions << "1/10000"
             << "1/50000";
    QStringList got;
    for (std::string_view c : ShutterPresetCaptions(type))
      got << QString::fromUtf8(c.data(), c.size());
    QCOMPARE(got, captions);
  }

  void scrollSteps_data() {
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");  // -1 = no move
    QTest::newRow("line up clamped") << int(ScrollRequest::kLineUp) << 0 << 0;
    QTest::newRow("line down") << int(ScrollRequest::kLineDown) << 5 << 6;
    QTest::newRow("line down clamped") << int(ScrollRequest::kLineDown) << 31 << 31;
    QTest::newRow("page up") << int(ScrollRequest::kPageUp) << 25 << 15;
    QTest::newRow("page up clamped") << int(ScrollRequest::kPageUp) << 4 << 0;
    QTest::newRow("page down clamped") << int(ScrollRequest::kPageDown) << 25 << 31;
    QTest::newRow("thumb track") << int(ScrollRequest::kThumbTrack) << 3 << 17;
    QTest::newRow("thumb released") << int(ScrollRequest::kThumbPosition) << 3 << 17;
    QTest::newRow("to top") << int(ScrollRequest::kToTop) << 3 << -1;
    QTest::newRow("to bottom") << int(ScrollRequest::kToBottom) << 3 << -1;
    QTest::newRow("end scroll") << int(ScrollRequest::kEndScroll) << 3 << -1;
  }
  void scrollSteps() {
    QFETCH(int, request);
    QFETCH(int, position);
    QFETCH(int, expected);
    const auto next = NextScrollPosition(static_cast<ScrollRequest>(request), position, 0, 31, 17);
    QCOMPARE(next.value_or(-1), expected);
  }

  void lineLimits() {
    const QList<int> expected{1237, 769, 495, 495, 1237, 495, 495};
    for (int type = 0; type < 7; ++type) QCOMPARE(LineLimit(type), expected[type]);
  }

  // (checked trigger mode, camera type) -> polarity, TRIG-A, TRIG-B, HD RESET,
  // shutter buttons.
  void triggerModeRules_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<bool>>("expected");
    QTest::newRow("OFF") << kTriggerOff << 0 << QList{false, false, false, false, true};
    QTest::newRow("FIXED SHUTTER")
        << kTriggerFixedShutter << 1 << QList{true, true, false, true, true};
    QTest::newRow("1TRIGGER") << kTrigger1Trigger << 2 << QList{true, true, false, true, false};
    QTest::newRow("RESET CONTROL")
        << kTriggerResetControl << 1 << QList{true, true, true, true, false};
    QTest::newRow("VD RESET") << kTriggerVdReset << 0 << QList{true, true, false, false, true};
    QTest::newRow("none") << 0 << 0 << QList{true, true, false, true, false};
    QTest::newRow("FIXED SHUTTER, KESTRA")
        << kTriggerFixedShutter << 4 << QList{true, true, false, false, true};
    QTest::newRow("RESET CONTROL, TEMBRA")
        << kTriggerResetControl << 6 << QList{true, true, true, false, false};
  }
  void triggerModeRules() {
    QFETCH(int, mode);
    QFETCH(int, type);
    QFETCH(QList<bool>, expected);
    const EnableList list = TriggerModeRules(mode, false, type);
    const auto state = [&](int id) {
      for (const auto& [control, enabled] : list) {
        if (control == id) return enabled;
      }
      QTest::qFail("control missing from the rules", __FILE__, __LINE__);
      return false;
    };
    const QList<bool> got{state(kPolarityGroup), state(kTrigAPosi), state(kTrigBNega),
                          state(kHdReset), state(kShutterVariable)};
    QCOMPARE(got, expected);
    QCOMPARE(state(kTrigAGroup), state(kTrigANega));
    QCOMPARE(state(kHdResetGroup), state(kHdNonReset));
    QCOMPARE(state(kShutterGroup), state(kShutterOff));
    QCOMPARE(state(kVariableShutterBar), false);  // VARIABLE not checked
  }

  // With VARIABLE checked the variable-shutter section is enabled in a mode
  // that disables the shutter buttons; each of its three controls is listed.
  void variableShutterFollowsVariableOnly() {
    QList<int> enabledIds;
    for (const auto& [id, enabled] : TriggerModeRules(kTrigger1Trigger, true, 0)) {
      if (enabled && (id == kVariableShutterBar || id == kVariableShutterText ||
                      id == kVariableValueLabel || id == kShutterVariable)) {
        enabledIds << id;
      }
    }
    std::sort(enabledIds.begin(), enabledIds.end());
    QCOMPARE(enabledIds,
             (QList<int>{kVariableShutterBar, kVariableShutterText, kVariableValueLabel}));
  }

  void bindingsMatchTheButtonValues() {
    QCOMPARE(FindRadioBinding(kShutterVariable)->value, 255);
    for (int id = kTriggerOff; id <= kTriggerVdReset; ++id) {
      QCOMPARE(FindRadioBinding(id)->value, id - kTriggerOff);
      QCOMPARE(FindRadioBinding(id)->entry, kEntryTriggerMode);
    }
    for (int id = kShutterOff; id <= kShutterLastPreset; ++id) {
      QCOMPARE(FindRadioBinding(id)->value, id - kShutterOff);
    }
  }
};

QTEST_GUILESS_MAIN(PanelValuesTest)
#include "panel_values_test.moc"
