#include "app/other_device_dlg.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavrel {

COtherDeviceDlg::COtherDeviceDlg(int port, const QString& current, const QStringList& found,
                                 QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Device for COM%1").arg(port));
  auto* layout = new QFormLayout(this);
  m_path = new QLineEdit(current, this);
  m_path->setAccessibleName(QStringLiteral("Device path"));
  m_path->setMinimumWidth(m_path->fontMetrics().averageCharWidth() * 60);
  auto* completer = new QCompleter(found, m_path);
  completer->setFilterMode(Qt::MatchContains);
  m_path->setCompleter(completer);
  auto* label = new QLabel(QStringLiteral("&Device path:"), this);
  label->setBuddy(m_path);
  layout->addRow(label, m_path);
  auto* hint = new QLabel(QStringLiteral("For example /dev/ttyUSB0, or better a /dev/serial/by-id "
                                         "name, which stays the same when the adapter is "
                                         "plugged in again."),
                          this);
  hint->setWordWrap(true);
  layout->addRow(hint);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Nothing to choose until a path is typed.
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(!DevicePath().isEmpty());
  connect(m_path, &QLineEdit::textChanged, this,
          [this, ok] { ok->setEnabled(!DevicePath().isEmpty()); });
}

QString COtherDeviceDlg::DevicePath() const {
  return m_path->text().trimmed();
}

}  // namespace tavrel
