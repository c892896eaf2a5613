#include "app/com_port_menus.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>

#include "app/other_device_dlg.h"
#include "model/com_port_directory.h"

namespace tavrel {
namespace {

constexpr const char* kPortProperty = "comPort";

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

int PortOf(const QObject* button) {
  return button->property(kPortProperty).toInt();
}

QString SourceText(const ComPortDevice& device) {
  switch (device.source) {
    case ComPortSource::kEnvironment:
      return QStringLiteral("from %1").arg(FromUtf8(ComPortVariableName(device.port)));
    case ComPortSource::kProfile:
      return QStringLiteral("chosen");
    case ComPortSource::kDefault:
      break;
  }
  return QStringLiteral("default");
}

// A menu item's text as it is shown: '&' would underline the next letter.
QString MenuText(QString text) {
  return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A menu is as wide as its items' texts; a section's title does not count,
// so a long device path would be cut. The styles draw it within the item
// with a margin of 5 pixels on either side.
void KeepSectionTitleWhole(QMenu& menu, const QString& title) {
  const QStyle* style = menu.style();
  const int margin = qRound(5 * menu.logicalDpiX() / 96.0);
  const int frame = style->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, &menu) +
                    style->pixelMetric(QStyle::PM_MenuHMargin, nullptr, &menu);
  menu.setMinimumWidth(menu.fontMetrics().horizontalAdvance(title) + 2 * margin + 2 * frame);
}

QString DeviceText(const SerialDevice& device) {
  QString text = FromUtf8(device.name);
  if (!device.description.empty()) text += QStringLiteral("  ") + FromUtf8(device.description);
  if (!device.usbId.empty()) text += QStringLiteral(" (%1)").arg(FromUtf8(device.usbId));
  if (device.description.empty() && !device.driver.empty()) {
    text += QStringLiteral("  (%1)").arg(FromUtf8(device.driver));
  }
  return text;
}

}  // namespace

ComPortMenus::ComPortMenus(ComPortMenuServices services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {
  if (!m_services.runDialog) m_services.runDialog = ModalDialogRunner();
}

void ComPortMenus::Attach(QAbstractButton* button, int port) {
  button->setProperty(kPortProperty, port);
  button->installEventFilter(this);
  UpdateToolTip(button);
}

QString ComPortMenus::ToolTipFor(int port) const {
  const ComPortDevice device = m_services.directory->Resolve(port);
  QString text =
      QStringLiteral("COM%1: %2 (%3)").arg(port).arg(FromUtf8(device.path), SourceText(device));
  // A by-id name says which adapter; the device it leads to now, where.
  const std::string now = DeviceBehindLink(device.path);
  if (!now.empty()) text += QStringLiteral("\nnow %1").arg(FromUtf8(now));
  return text + QStringLiteral("\nRight-click, the Menu key or Shift+F10 chooses another device.");
}

void ComPortMenus::UpdateToolTip(QAbstractButton* button) {
  button->setToolTip(ToolTipFor(PortOf(button)));
}

bool ComPortMenus::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (button == nullptr) return QObject::eventFilter(watched, event);
  const auto belowButton = [button] { return button->mapToGlobal(QPoint(0, button->height())); };
  if (event->type() == QEvent::ContextMenu) {
    const auto* request = static_cast<QContextMenuEvent*>(event);
    ShowMenu(button,
             request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : belowButton());
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    // The platform makes a context menu request of the Menu key only where
    // it has one; Shift+F10 is the keyboard's other way to ask.
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
        (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
      ShowMenu(button, belowButton());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void ComPortMenus::ShowMenu(QAbstractButton* button, const QPoint& globalPosition) {
  if (m_menu) m_menu->close();
  const int port = PortOf(button);
  const ComPortDirectory& directory = *m_services.directory;
  const ComPortDevice current = directory.Resolve(port);
  const std::vector<SerialDevice> devices = directory.DetectDevices();
  const SerialDevice* currentDevice = FindSerialDevice(devices, current.path, directory.Roots());

  auto* menu = new QMenu(button);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(QStringLiteral("Device for COM%1").arg(port));
  const QString title = QStringLiteral("COM%1: %2").arg(port).arg(FromUtf8(current.path));
  menu->addSection(MenuText(title));
  KeepSectionTitleWhole(*menu, title);
  if (current.source == ComPortSource::kEnvironment) {
    menu->addAction(QStringLiteral("%1 is set and wins over a choice here")
                        .arg(FromUtf8(ComPortVariableName(port))))
        ->setEnabled(false);
  }
  for (const SerialDevice& device : devices) {
    QAction* action = menu->addAction(MenuText(DeviceText(device)));
    const QString path = FromUtf8(device.StablePath());
    action->setToolTip(path);
    action->setStatusTip(path);
    action->setCheckable(true);
    action->setChecked(current.source != ComPortSource::kDefault && &device == currentDevice);
    connect(action, &QAction::triggered, this, [this, button, path] { Choose(button, path); });
  }
  if (devices.empty()) menu->addAction(QStringLiteral("No serial ports found"))->setEnabled(false);
  menu->addSeparator();
  connect(menu->addAction(QStringLiteral("Other device…")), &QAction::triggered, this,
          [this, button] { ChooseOther(button); });
  QAction* byDefault = menu->addAction(
      MenuText(QStringLiteral("Default (%1)").arg(FromUtf8(DefaultComPortDevicePath(port)))));
  byDefault->setCheckable(true);
  byDefault->setChecked(current.source == ComPortSource::kDefault);
  connect(byDefault, &QAction::triggered, this, [this, button] { Choose(button, QString()); });
  if (m_services.offerFindCamera) {
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Find Camera")), &QAction::triggered, this,
            &ComPortMenus::findCameraRequested);
  }
  m_menu = menu;
  menu->popup(globalPosition);
}

void ComPortMenus::Choose(QAbstractButton* button, const QString& devicePath) {
  const int port = PortOf(button);
  const ComPortDirectory& directory = *m_services.directory;
  // What can never be the line (a folder, a file, /dev/null) is refused as
  // typed; nothing is written.
  if (const std::string refused = devicePath.isEmpty()
                                      ? std::string()
                                      : directory.RefuseDevicePath(devicePath.toStdString());
      !refused.empty()) {
    QMessageBox box(QMessageBox::Warning, button->window()->windowTitle(),
                    QStringLiteral("COM%1 keeps its device: %2").arg(port).arg(FromUtf8(refused)),
                    QMessageBox::Ok, button->window());
    m_services.runDialog(box);
    return;
  }
  const std::string failure = devicePath.isEmpty()
                                  ? directory.Unassign(port)
                                  : directory.Assign(port, devicePath.toStdString());
  UpdateToolTip(button);
  if (failure.empty()) return;
  QMessageBox box(QMessageBox::Warning, button->window()->windowTitle(),
                  QStringLiteral("The device for COM%1 could not be kept in %2: %3")
                      .arg(port)
                      .arg(FromUtf8(directory.ProfilePath()), FromUtf8(failure)),
                  QMessageBox::Ok, button->window());
  m_services.runDialog(box);
}

void ComPortMenus::ChooseOther(QAbstractButton* button) {
  const int port = PortOf(button);
  QStringList found;
  for (const SerialDevice& device : m_services.directory->DetectDevices()) {
    found << FromUtf8(device.StablePath());
    if (device.StablePath() != device.path) found << FromUtf8(device.path);
  }
  COtherDeviceDlg prompt(port, FromUtf8(m_services.directory->Resolve(port).path), found,
                         button->window());
  if (m_services.runDialog(prompt) != QDialog::Accepted || prompt.DevicePath().isEmpty()) return;
  Choose(button, prompt.DevicePath());
}

}  // namespace tavrel
