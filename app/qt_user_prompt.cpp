#include "app/qt_user_prompt.h"
#include "ui/qt_strings.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "app/main_frame.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

// Room beside a message box's text: its icon and margins.
constexpr int kBesideTheText = 160;

// A message box wraps a line longer than about half the screen, and breaks
// it after any "/" as well as at blanks, so a path is shown in two pieces.
// Its text and its detail are each given the width of their longest line
// instead, up to the width beyond which the box gives up wrapping at words
// at all. The limits are Qt's own; check them when Qt changes.
void KeepLinesWhole(QMessageBox& box) {
  const QScreen* screen = box.screen();
  const int screenWidth = screen != nullptr ? screen->availableGeometry().width() : 1024;
  const int wordWrapLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
  for (const auto& [name, text] :
       {std::pair{"qt_msgbox_label", box.text()},
        std::pair{"qt_msgbox_informativelabel", box.informativeText()}}) {
    auto* label = box.findChild<QLabel*>(QLatin1String(name));
    if (label == nullptr) continue;
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
      widest = std::max(widest, label->fontMetrics().horizontalAdvance(line) + 1);
    }
    label->setMinimumWidth(std::min(widest, wordWrapLimit - kBesideTheText));
  }
}

MessageAnswer FromQtButton(int button) {
  switch (button) {
    case QMessageBox::Cancel:
      return MessageAnswer::kCancel;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kOk;
  }
}

}  // namespace

QtUserPrompt::QtUserPrompt(DialogRunner runBox)
    : m_runBox(runBox ? std::move(runBox) : ModalDialogRunner()) {}

QWidget* QtUserPrompt::BoxOwner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return m_frame;
}

MessageAnswer QtUserPrompt::ShowMessage(const MessageRequest& request) {
  const QString caption = request.caption.empty() ? ui::LoadQString(res::kIdsAppName)
                                                  : QString::fromStdString(request.caption);
  QWidget* owner = request.ownerless ? nullptr : BoxOwner();
  QMessageBox box(ToQtIcon(request.icon), caption, QString::fromStdString(request.text),
                  ToQtButtons(request.buttons), owner);
  if (!request.detail.empty()) box.setInformativeText(QString::fromStdString(request.detail));
  // Escape answers Cancel where there is one, else the only button.
  if (request.buttons == MessageButtons::kYesNo) box.setEscapeButton(QMessageBox::No);
  KeepLinesWhole(box);
  return FromQtButton(m_runBox(box));
}

void QtUserPrompt::SetStatusText(const std::string& text) {
  if (m_frame != nullptr) m_frame->SetStatusText(QString::fromStdString(text));
}

}  // namespace tavrel
