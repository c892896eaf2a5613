// The window program's message boxes and status text: what a box shows and
// how its buttons answer, and the progress text painted before a camera
// command goes out on the line.
#include "app/qt_user_prompt.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>
#include <memory>

#include "app/main_frame.h"
#include "link/posix_serial.h"
#include "model/camera_unit.h"
#include "sim/pty_camera.h"
#include "tests/app/answering_boxes.h"

using tavrel::MessageAnswer;
using tavrel::MessageButtons;
using tavrel::MessageIcon;
using tavrel::MessageRequest;
using tavrel::QtUserPrompt;
using tavrel::testing::Answering;
using tavrel::testing::ShownBox;

namespace {

// The real line to the virtual camera, noting what the status bar's message
// pane had painted when the first byte was handed to the line.
class WatchedLine : public tavrel::Transport {
 public:
  WatchedLine(std::unique_ptr<tavrel::PosixSerial> line, const QStringList& painted)
      : line_(std::move(line)), painted_(painted) {}
  std::int32_t Write(const std::uint8_t* data, std::int32_t count,
                     std::int32_t timeoutMs) override {
    if (!wrote_) paintedBeforeFirstByte = painted_;
    wrote_ = true;
    return line_->Write(data, count, timeoutMs);
  }
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count, std::int32_t timeoutMs) override {
    return line_->Read(buffer, count, timeoutMs);
  }
  std::int32_t Purge(std::uint32_t flags) override { return line_->Purge(flags); }

  QStringList paintedBeforeFirstByte;

 private:
  std::unique_ptr<tavrel::PosixSerial> line_;
  const QStringList& painted_;
  bool wrote_ = false;
};

// Records the label's text at each of its paints.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QLabel* label) : label_(label) { label->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == label_ && event->type() == QEvent::Paint) painted << label_->text();
    return false;
  }
  QStringList painted;

 private:
  QLabel* label_;
};

}  // namespace

class QtUserPromptTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { tavrel::cameraType = 0; }

  // A failed camera operation: the error box with its text, caption, icon
  // and OK button, owned by the main window.
  void errorBoxOfAFailedOperation() {
    tavrel::CommPort unused;
    tavrel::CMainFrame frame(unused, "tavrel");
    std::vector<ShownBox> shown;
    QtUserPrompt prompt(Answering(shown, QMessageBox::Ok));
    prompt.SetMainFrame(&frame);
    tavrel::CameraUnit camera;
    camera.SetUserPrompt(&prompt);
    QVERIFY(camera.WriteParameter(10, 25) < 0);  // no link open
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].icon, QMessageBox::Critical);
    QCOMPARE(shown[0].caption, QStringLiteral(" TAVREL CONTROL"));
    QCOMPARE(shown[0].text, QStringLiteral("ERROR - Communication port not opened."));
    QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown[0].owner, static_cast<QWidget*>(&frame));
    camera.SetUserPrompt(nullptr);
  }

  // Each request's buttons and icon on the box, and the button pressed as the
  // answer; an ownerless box has no parent even with a main window.
  void buttonsIconsAndAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("ownerless");
    QTest::addColumn<int>("shownButtons");
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK, exclamation") << int(MessageButtons::kOk) << int(MessageIcon::kExclamation)
                                     << false << int(QMessageBox::Ok) << int(QMessageBox::Warning)
                                     << int(QMessageBox::Ok) << int(MessageAnswer::kOk);
    QTest::newRow("OK/Cancel, Cancel")
        << int(MessageButtons::kOkCancel) << int(MessageIcon::kInformation) << false
        << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Information)
        << int(QMessageBox::Cancel) << int(MessageAnswer::kCancel);
    QTest::newRow("Yes/No, No") << int(MessageButtons::kYesNo) << int(MessageIcon::kQuestion)
                                << false << int(QMessageBox::Yes | QMessageBox::No)
                                << int(QMessageBox::Question) << int(QMessageBox::No)
                                << int(MessageAnswer::kNo);
    QTest::newRow("Yes/No/Cancel, Yes")
        << int(MessageButtons::kYesNoCancel) << int(MessageIcon::kExclamation) << false
        << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
        << int(QMessageBox::Warning) << int(QMessageBox::Yes) << int(MessageAnswer::kYes);
    QTest::newRow("ownerless error")
        << int(MessageButtons::kOk) << int(MessageIcon::kError) << true << int(QMessageBox::Ok)
        << int(QMessageBox::Critical) << int(QMessageBox::Ok) << int(MessageAnswer::kOk);
  }
  void buttonsIconsAndAnswers() {
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(bool, ownerless);
    QFETCH(int, shownButtons);
    QFETCH(int, shownIcon);
    QFETCH(int, pressed);
    QFETCH(int, answer);
    tavrel::CommPort unused;
    tavrel::CMainFrame frame(unused, "tavrel");
    std::vector<ShownBox> shown;
    QtUserPrompt prompt(Answering(shown, static_cast<QMessageBox::StandardButton>(pressed)));
    prompt.SetMainFrame(&frame);
    MessageRequest request;
    request.text = "Save changes to Untitled?";
    request.caption = "Error";
    request.buttons = static_cast<MessageButtons>(buttons);
    request.icon = static_cast<MessageIcon>(icon);
    request.ownerless = ownerless;
    QCOMPARE(int(prompt.ShowMessage(request)), answer);
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(int(shown[0].buttons), shownButtons);
    QCOMPARE(int(shown[0].icon), shownIcon);
    QCOMPARE(shown[0].caption, QStringLiteral("Error"));
    QCOMPARE(shown[0].text, QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(shown[0].owner, ownerless ? nullptr : static_cast<QWidget*>(&frame));
  }

  // A box without a caption of its own takes the application's name.
  void captionDefaultsToTheApplicationName() {
    std::vector<ShownBox> shown;
    QtUserPrompt prompt(Answering(shown, QMessageBox::Ok));
    QCOMPARE(prompt.ShowMessage(tavrel::MessageRequest{"Unexpected file format.", {}, {}, {}, {}}),
             MessageAnswer::kOk);
    QCOMPARE(shown.at(0).caption, QStringLiteral(" TAVREL CONTROL"));
    QCOMPARE(shown.at(0).owner, nullptr);  // no main window yet
  }

  // The progress text is on the screen before the first byte of the
  // command: the pane is painted at once, not at the next event loop pass.
  void progressTextIsPaintedBeforeTheCommandGoesOut() {
    sim::PtyCamera virtualCamera{sim::CameraOptions{}};
    tavrel::cameraType = 4;
    tavrel::CameraUnit camera;
    camera.InitTable();
    for (int i = 0; i < tavrel::kParameterCount; ++i) camera.ResetValue(i);
    tavrel::CMainFrame frame(camera, "tavrel");
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"));
    QVERIFY(pane != nullptr);
    PaintRecorder paints(pane);

    tavrel::TerminalOpening opening = tavrel::OpenTerminal(virtualCamera.DevicePath());
    QVERIFY2(opening.terminal, opening.failure.reason.c_str());
    auto device = std::make_unique<tavrel::PosixSerial>(std::move(opening.terminal));
    QCOMPARE(device->Configure(tavrel::CameraLine(9600)), 0);
    auto line = std::make_unique<WatchedLine>(std::move(device), paints.painted);
    WatchedLine* watched = line.get();
    camera.AttachTransport(std::move(line), 1, 9600);

    std::vector<ShownBox> shown;
    QtUserPrompt prompt(Answering(shown, QMessageBox::Ok));
    prompt.SetMainFrame(&frame);
    camera.SetUserPrompt(&prompt);
    QCOMPARE(camera.WriteParameter(10, 25), 1);
    QVERIFY(shown.empty());
    QVERIFY2(watched->paintedBeforeFirstByte.contains("Sending GAIN data to camera..."),
             qPrintable(watched->paintedBeforeFirstByte.join(" | ")));
    QCOMPARE(virtualCamera.ReceivedBodies(), std::vector<std::string>{"01FF010C001900"});
    camera.SetUserPrompt(nullptr);
    camera.Close();
  }
};

QTEST_MAIN(QtUserPromptTest)
#include "qt_user_prompt_test.moc"
