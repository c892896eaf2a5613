// The About box (dialog 100).
#pragma once

#include <QDialog>

namespace tavrel {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDialogId = 100;
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tavrel
