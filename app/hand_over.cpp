#include "app/hand_over.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "app/desktop_platform.h"
#include "app/instance_channel.h"
#include "app/program_icon.h"
#include "res/string_table.h"
#include "ui/qt_strings.h"

namespace tavrel {

bool HandToRunningProgram(const QString& document, const QString& channelName) {
  const QString path = QFileInfo(document).absoluteFilePath();
  std::unique_ptr<QWidget> notice;
  const auto tellWaiting = [&path, &notice] {
    WriteToConsole(
        stderr,
        QStringLiteral("tavrel: the running program is busy; %1 opens there when it is free\n")
            .arg(path));
    notice = std::make_unique<QWidget>();
    notice->setObjectName(QStringLiteral("handedFileNotice"));
    notice->setWindowTitle(ui::LoadQString(res::kIdsAppName));
    notice->setWindowIcon(ProgramIcon());
    auto* text = new QLabel(
        QStringLiteral("The running program is busy: a dialog or a box is open there, or it\n"
                       "is talking to the camera.\n\n%1\nopens there when it is free.")
            .arg(path),
        notice.get());
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(notice.get());
    layout->addWidget(text);
    notice->show();
  };
  return InstanceChannel::SendToRunning(channelName, path, tellWaiting);
}

}  // namespace tavrel
