// "Find Camera" in the COM buttons' menu of Select Communication System: the
// lines are probed and the port, the baud rate and the camera row of the
// camera found are selected; OPEN stays the user's. The COM ports lead to a
// virtual camera on a pty and to paths with nothing behind them.
#include <QAbstractButton>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>
#include <map>
#include <memory>

#include "app/select_comm_dlg.h"
#include "model/com_port_directory.h"
#include "model/parameter_table.h"
#include "sim/pty_camera.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/fake_system_tree.h"
#include "tests/support/temp_folder.h"
#include "ui/dialog_layout.h"

using tavrel::ComPortDirectory;
using tavrel::CSelectCommDlg;
using tavrel::ui::FindControlAs;

namespace {

bool ShowModal(QDialog& dialog) {
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

QAbstractButton* Control(QDialog& dialog, int id) {
  return FindControlAs<QAbstractButton>(&dialog, id);
}

}  // namespace

class FindCameraTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<tavrel::testing::TempFolder> m_folder;
  std::unique_ptr<tavrel::testing::FakeSystemTree> m_tree;
  std::unique_ptr<ComPortDirectory> m_directory;
  std::map<std::string, std::string> m_environment;
  QStringList m_boxes;  // the texts of the boxes shown

  // Every COM port leads to a path with nothing behind it, COM `port` to
  // `device`.
  void ComPortLeadsTo(int port, const std::string& device) {
    for (int n = 1; n <= 10; ++n) {
      m_environment["TAVREL_COM" + std::to_string(n)] =
          n == port ? device : m_folder->File("no-port-" + std::to_string(n));
    }
  }
  void Offer(CSelectCommDlg& dialog) {
    dialog.OfferComPortMenus({m_directory.get(),
                              [this](QDialog& box) {
                                m_boxes << static_cast<QMessageBox&>(box).text();
                                box.accept();
                                return box.result();
                              },
                              /*offerFindCamera=*/true});
  }
  // Opens COM 1's menu with Shift+F10 and takes its last item.
  void FindCameraFromTheMenu(CSelectCommDlg& dialog) {
    auto* com1 = Control(dialog, CSelectCommDlg::kIdFirstCom);
    com1->setFocus();
    QTest::keyClick(com1, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().constLast()->text(), QStringLiteral("Find Camera"));
    QTest::keyClick(menu, Qt::Key_Up);  // round to the last item
    QTest::keyClick(menu, Qt::Key_Return);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
  }

 private slots:
  void init() {
    m_folder = std::make_unique<tavrel::testing::TempFolder>("tavrel-find-camera");
    m_tree = std::make_unique<tavrel::testing::FakeSystemTree>(m_folder->Path());
    m_directory = std::make_unique<ComPortDirectory>(
        m_folder->File("profile.ini"), m_tree->Roots(),
        [this](const std::string& name) -> std::optional<std::string> {
          const auto it = m_environment.find(name);
          if (it == m_environment.end()) return std::nullopt;
          return it->second;
        });
    m_boxes.clear();
  }
  void cleanup() {
    m_directory.reset();
    m_tree.reset();
    m_folder.reset();
  }

  void selectsThePortRateAndModelFound() {
    sim::CameraOptions options;
    options.model = "TEMBRA-P/S";
    options.modelName = "TEMBRA-S";
    options.lineBaud = 38400;
    sim::PtyCamera camera(options);
    ComPortLeadsTo(4, camera.DevicePath());
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    Offer(dialog);
    QVERIFY(ShowModal(dialog));
    FindCameraFromTheMenu(dialog);
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(dialog.isVisible());
    QVERIFY(Control(dialog, CSelectCommDlg::kIdFirstCom + 3)->isChecked());  // COM 4
    QVERIFY(Control(dialog, CSelectCommDlg::kIdBaud38400)->isChecked());
    QVERIFY(Control(dialog, CSelectCommDlg::kIdBaud38400)->isEnabled());
    QVERIFY(Control(dialog, CSelectCommDlg::kIdFirstCameraRow + 6)->isChecked());  // TEMBRA-P/S
    QCOMPARE(tavrel::cameraType, 6);
    for (const std::string& body : camera.ReceivedBodies()) {
      QVERIFY2(body.rfind("01FF90", 0) == 0, body.c_str());
    }
    QTest::mouseClick(Control(dialog, CSelectCommDlg::kIdOpen), Qt::LeftButton);
    const tavrel::CommSelection chosen = dialog.Selection();
    QVERIFY(chosen.opened);
    QCOMPARE(chosen.portChoice, 3);
    QCOMPARE(chosen.baudChoice, 2);
    QCOMPARE(chosen.cameraRow, 6);
  }

  void saysSoWhenNoCameraAnswers() {
    ComPortLeadsTo(2, m_folder->File("no-camera"));
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    Offer(dialog);
    QVERIFY(ShowModal(dialog));
    FindCameraFromTheMenu(dialog);
    QCOMPARE(m_boxes, QStringList{"No camera answers on the COM ports or the serial devices."});
    QVERIFY(Control(dialog, CSelectCommDlg::kIdFirstCom)->isChecked());
    QVERIFY(Control(dialog, CSelectCommDlg::kIdBaud9600)->isChecked());
  }
};

QTEST_MAIN(FindCameraTest)
#include "find_camera_test.moc"
