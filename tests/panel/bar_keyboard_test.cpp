// The panel's scroll bars from the keyboard, against a virtual camera on a
// pseudo-terminal: Tab reaches them in the form's order, and a key on a
// focused bar is a step written as a click on it is.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

#include "panel/panel_form.h"
#include "panel/panel_ids.h"
#include "panel/panel_values.h"
#include "sim/camera_options.h"
#include "tests/panel/bar_watch.h"
#include "tests/panel/panel_rig.h"
#include "ui/dialog_layout.h"

using namespace tavrel;
using namespace tavrel::panel;
using tavrel::testing::BoxWithEventLoop;
using tavrel::testing::Repeating;
using tavrel::testing::WritesOf;

namespace {

// LOMIRA-P/S with every shown bar enabled (VARIABLE shutter, partial scan
// ON), shown and active, GAIN at 25.
struct Rig : testing::PanelRig {
  Rig() : PanelRig(0) {
    for (auto [entry, value] : {std::pair{kEntryShutter, kShutterVariableValue},
                                {kEntryPartialScan, 1},
                                {kEntryGain, 25}}) {
      if (document.WriteParameter(entry, value) < 0) qFatal("the camera refused a setting");
    }
    view->OnUpdate();
    view->show();
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view.get())) qFatal("the panel never became active");
  }
  QScrollBar* Bar(int id) const { return ui::FindControlAs<QScrollBar>(view.get(), id); }
  // The GAIN bar, with the keyboard on it as Tab leaves it.
  QScrollBar* FocusedGain() const {
    QScrollBar* bar = Bar(kGainBar);
    bar->setFocus(Qt::TabFocusReason);
    return bar;
  }
};

// Keys go where the keyboard focus is.
void Type(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key);
}

// The keyboard's own repeat of a held key, as the window system sends it.
void AutoRepeat(Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(QApplication::focusWidget(), &press);
}

QString Listed(const QList<int>& ids) {
  QStringList texts;
  for (int id : ids) texts << QString::number(id);
  return texts.join(QLatin1Char(' '));
}

// The position of a control in the form's template.
qsizetype FormIndex(int id) {
  const auto form = FormTemplate();
  const auto found =
      std::find_if(form.begin(), form.end(), [id](const FormControl& c) { return c.id == id; });
  return found == form.end() ? -1 : found - form.begin();
}

}  // namespace

class BarKeyboardTest : public QObject {
  Q_OBJECT
 private slots:
  void tabReachesEveryShownBarInTheFormsOrder() {
    Rig rig;
    QList<int> stops;
    QTest::keyClick(rig.view.get(), Qt::Key_Tab);
    for (int press = 0; press < 100; ++press) {
      const int id = ui::ControlId(QApplication::focusWidget());
      if (!stops.isEmpty() && id == stops.front()) break;
      stops << id;
      Type(Qt::Key_Tab);
    }
    for (int bar : {kVariableShutterBar, kStartBar, kWidthBar, kGainBar, kBlackLevelBar}) {
      QVERIFY2(stops.contains(bar), qPrintable(QString::number(bar)));
    }
    // Tab goes round the controls in the order the form lists them.
    QList<qsizetype> order;
    for (int id : stops) order << FormIndex(id);
    std::rotate(order.begin(), std::min_element(order.begin(), order.end()), order.end());
    QVERIFY2(std::is_sorted(order.begin(), order.end()), qPrintable(Listed(stops)));
    QVERIFY(!stops.contains(kAdjustGainBar));  // hidden
  }

  // A key on the focused GAIN bar (LOMIRA-P/S, 0..462): what it writes and
  // what the bar and its text show after it.
  void keyIsOneStep_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("writes");
    QTest::newRow("Right: line right") << Qt::Key_Right << 25 << 26 << 1;
    QTest::newRow("Left: line left") << Qt::Key_Left << 25 << 24 << 1;
    QTest::newRow("Down: line down") << Qt::Key_Down << 25 << 26 << 1;
    QTest::newRow("Up: line up") << Qt::Key_Up << 25 << 24 << 1;
    QTest::newRow("Page Down: page") << Qt::Key_PageDown << 25 << 35 << 1;
    QTest::newRow("Page Up: page") << Qt::Key_PageUp << 25 << 15 << 1;
    QTest::newRow("Left at 0 writes 0 again") << Qt::Key_Left << 0 << 0 << 1;
    QTest::newRow("Page Down clamped") << Qt::Key_PageDown << 458 << 462 << 1;
    QTest::newRow("Home: nothing") << Qt::Key_Home << 25 << 25 << 0;
    QTest::newRow("End: nothing") << Qt::Key_End << 25 << 25 << 0;
  }
  void keyIsOneStep() {
    QFETCH(Qt::Key, key);
    QFETCH(int, start);
    QFETCH(int, expected);
    QFETCH(int, writes);
    Rig rig;
    QVERIFY(rig.document.WriteParameter(kEntryGain, start) >= 0);
    rig.view->OnUpdate();
    QScrollBar* bar = rig.FocusedGain();
    const int before = WritesOf(rig, kEntryGain);
    const int exchanges = rig.Exchanges();
    Type(key);
    QCOMPARE(WritesOf(rig, kEntryGain) - before, writes);
    QCOMPARE(rig.Exchanges() - exchanges, writes);
    QCOMPARE(bar->value(), expected);
    QCOMPARE(bar->sliderPosition(), expected);
    QCOMPARE(rig.Text(kGainText), QString::fromStdString(GainText(0, expected)));
    QCOMPARE(rig.CameraValue(kEntryGain), expected);
    QVERIFY(!Repeating(bar));
    QVERIFY(rig.prompt.messages.empty());
  }

  // Held down, a key repeats on the bar's timer, as a held arrow does; the
  // keyboard's own repeats add nothing, and letting go stops at once.
  void heldKeyRepeatsLikeAHeldArrow() {
    Rig rig;
    QScrollBar* bar = rig.FocusedGain();
    const int before = WritesOf(rig, kEntryGain);
    QTest::keyPress(bar, Qt::Key_Right);
    QVERIFY(Repeating(bar));
    for (int i = 0; i < 5; ++i) AutoRepeat(Qt::Key_Right);
    QCOMPARE(WritesOf(rig, kEntryGain) - before, 1);
    QTRY_VERIFY_WITH_TIMEOUT(WritesOf(rig, kEntryGain) >= before + 3, 10000);
    QTest::keyRelease(bar, Qt::Key_Right);
    QVERIFY(!Repeating(bar));
    const int writes = WritesOf(rig, kEntryGain) - before;
    QCOMPARE(bar->value(), 25 + writes);
    QCOMPARE(rig.CameraValue(kEntryGain), 25 + writes);
  }

  // A key let go while the keyboard is elsewhere is never seen by the bar:
  // its press ends when the focus leaves it (another control, a box, the
  // window left with Alt+Tab), and nothing is written after.
  void heldKeyEndsWhenTheFocusLeaves() {
    Rig rig;
    QScrollBar* bar = rig.FocusedGain();
    QTest::keyPress(bar, Qt::Key_Right);
    QVERIFY(Repeating(bar));
    rig.Bar(kBlackLevelBar)->setFocus(Qt::TabFocusReason);
    QVERIFY(!bar->hasFocus());
    QVERIFY(!Repeating(bar));

    // The same when the window itself loses the keyboard.
    bar->setFocus(Qt::TabFocusReason);
    QTest::keyPress(bar, Qt::Key_Right);
    QVERIFY(Repeating(bar));
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QVERIFY(!Repeating(bar));
    const int writes = WritesOf(rig, kEntryGain);
    QTest::keyRelease(bar, Qt::Key_Right);
    QCOMPARE(WritesOf(rig, kEntryGain), writes);
  }

  // A bar switched off (its feature turned off) while a key is down on it
  // stops at once, whether or not the keyboard was taken from it first.
  void heldKeyEndsWhenTheBarIsDisabled() {
    Rig rig;
    QScrollBar* bar = rig.FocusedGain();
    QTest::keyPress(bar, Qt::Key_Right);
    QVERIFY(Repeating(bar));
    bar->setEnabled(false);
    QVERIFY(!Repeating(bar));
    bar->setEnabled(true);

    // With its window in the background no focus change tells the bar.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QTest::keyPress(bar, Qt::Key_Right);
    QVERIFY(Repeating(bar));
    const int writes = WritesOf(rig, kEntryGain);
    bar->setEnabled(false);
    QVERIFY(!Repeating(bar));
    QCOMPARE(WritesOf(rig, kEntryGain), writes);
  }

  // A refused key step is a refused click: one box, the bar as it was, and
  // nothing repeats behind the box or after it while the key is still held.
  void refusedKeyStepShowsOneBoxAndEndsThePress_data() {
    QTest::addColumn<int>("stepsFirst");  // steps the camera takes before it refuses
    QTest::newRow("the first step refused") << 0;
    QTest::newRow("refused while repeating") << 2;
  }
  void refusedKeyStepShowsOneBoxAndEndsThePress() {
    QFETCH(int, stepsFirst);
    Rig rig;
    QScrollBar* bar = rig.FocusedGain();
    BoxWithEventLoop box(bar);
    rig.camera.SetUserPrompt(&box);
    const int before = WritesOf(rig, kEntryGain, box);
    if (stepsFirst == 0) rig.simulator->AddFault({sim::FaultKind::kEnqNak});
    QTest::keyPress(bar, Qt::Key_Right);
    if (stepsFirst > 0) {
      QTRY_VERIFY_WITH_TIMEOUT(WritesOf(rig, kEntryGain, box) >= before + stepsFirst, 10000);
      rig.simulator->AddFault({sim::FaultKind::kEnqNak});
      QTRY_VERIFY_WITH_TIMEOUT(!box.messages.empty(), 10000);
    }
    const int writes = WritesOf(rig, kEntryGain, box) - before;
    const int shown = bar->value();
    QCOMPARE(box.messages.size(), size_t(1));
    QVERIFY(box.settled);
    QVERIFY(!Repeating(bar));
    for (int i = 0; i < 5; ++i) AutoRepeat(Qt::Key_Right);
    QTest::keyRelease(bar, Qt::Key_Right);
    QCOMPARE(WritesOf(rig, kEntryGain, box) - before, writes);
    QCOMPARE(box.messages.size(), size_t(1));
    QCOMPARE(bar->value(), shown);
    QCOMPARE(bar->sliderPosition(), shown);
    QCOMPARE(shown, 25 + writes - 1);  // every step but the refused one
    QCOMPARE(rig.Text(kGainText), QString::fromStdString(GainText(0, shown)));
    rig.camera.SetUserPrompt(&rig.prompt);
  }

  // Tabbed to, the bar shows that it has the keyboard; tabbed away, it looks
  // as it did.
  void focusIsVisible() {
    Rig rig;
    QScrollBar* bar = rig.Bar(kGainBar);
    rig.Bar(kBlackLevelBar)->setFocus();
    const QImage plain = bar->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(bar->hasFocus());
    QVERIFY(bar->grab().toImage() != plain);
    Type(Qt::Key_Tab);
    QVERIFY(!bar->hasFocus());
    QCOMPARE(bar->grab().toImage(), plain);
  }
};

QTEST_MAIN(BarKeyboardTest)
#include "bar_keyboard_test.moc"
