#include "app/about_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "app/program_icon.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("About LOMIRA-S"), 252, 55);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("programIcon"));
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  ui::PlaceInDialogUnits(icon, 11, 17, 21, 20);

  const QString text = QStringLiteral("LOMIRA-S Remote\n For Windows XP/2000/98/95/NT  Ver. 1.2");
  auto* label = new QLabel(text, this);
  label->setAccessibleName(text);
  ui::PlaceInDialogUnits(label, 40, 12, 162, 24);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ui::SetControlId(ok, 1, ok->text());
  ui::PlaceInDialogUnits(ok, 205, 7, 40, 14);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavrel
