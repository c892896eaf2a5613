// "Command Menu": the register editor. Reads and writes the camera's internal
// registers a row or a 32-address page at a time, in one of six areas, in
// FPGA or EEPROM mode. Modeless; closing it only hides it.
#pragma once

#include <QDialog>

#include "model/register_access.h"

class QButtonGroup;
class QLineEdit;

namespace tavrel {

class CameraUnit;

class CCommandMenuDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDialogId = 138;
  // Area buttons.
  static constexpr int kIdCommon = 1108;
  static constexpr int kIdTg = 1109;
  static constexpr int kIdDsp = 1110;
  static constexpr int kIdDdr = 1111;
  static constexpr int kIdAfe = 1112;
  static constexpr int kIdInfo = 1123;
  // Page buttons 00-1F .. E0-FF.
  static constexpr int kIdPageFirst = 1113;
  static constexpr int kIdPageLast = 1120;
  // Mode buttons.
  static constexpr int kIdFpga = 1121;
  static constexpr int kIdEeprom = 1122;
  // Whole-page buttons.
  static constexpr int kIdWriteAll = 1150;
  static constexpr int kIdReadAll = 1151;
  // Row k: address edit, data edit, "W" and "R" buttons.
  static constexpr int kIdAddressFirst = 1200;
  static constexpr int kIdDataFirst = 1300;
  static constexpr int kIdWriteFirst = 1400;
  static constexpr int kIdReadFirst = 1500;

  // `camera` is the shared link and must outlive the dialog.
  explicit CCommandMenuDlg(CameraUnit& camera, QWidget* parent = nullptr);

  // Fills the 32 rows for the selected area and page.
  void RefreshAddresses();
  // One row, by its edits' control ids; a failure has shown its box.
  RegisterRowOutcome WriteRow(int addressId, int dataId);
  RegisterRowOutcome ReadRow(int addressId, int dataId);
  // The whole page, rows 0 to 31.
  void WriteAllRows();
  void ReadAllRows();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  RegisterArea SelectedArea() const;
  RegisterMode SelectedMode() const;
  int SelectedPageBase() const;
  QLineEdit* Edit(int id) const;

  CameraUnit& m_camera;
  QButtonGroup* m_areas = nullptr;
  QButtonGroup* m_pages = nullptr;
  QButtonGroup* m_modes = nullptr;
};

}  // namespace tavrel
