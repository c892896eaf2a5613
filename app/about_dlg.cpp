#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/program_icon.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

QWidget* ProgramIconLabel(const QString& /*caption*/, QWidget* form) {
  auto* icon = new QLabel(form);
  icon->setObjectName(QStringLiteral("programIcon"));
  icon->setPixmap(ProgramIcon().pixmap(32, 32));
  return icon;
}

// Dialog 100.
constexpr ui::FormControl kForm[] = {
    {0, ProgramIconLabel, {}, 11, 17, 21, 20},
    {0, ui::Label, u"LOMIRA-S Remote\n For Windows XP/2000/98/95/NT  Ver. 1.2", 40, 12, 162, 24},
    {1, ui::DefaultButton, u"OK", 205, 7, 40, 14},
};

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("About LOMIRA-S"), 252, 55);
  ui::BuildForm(*this, kForm);
  connect(ui::FindControlAs<QPushButton>(this, 1), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavrel
