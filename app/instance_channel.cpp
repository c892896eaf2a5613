#include "app/instance_channel.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <optional>
#include <string>

#include "model/handed_file_message.h"

#include "app/desktop_platform.h"

namespace tavrel {
namespace {

// Connecting needs no answer from the running program's event loop: the
// system accepts on its behalf, so a missing listener shows at once.
constexpr int kConnectTimeoutMs = 2000;
// How long the sender waits quietly before it says that it is waiting.
constexpr int kQuietWaitMs = 1000;
// Then it waits in short steps, handling its own events between them.
constexpr int kShownWaitMs = 50;

}  // namespace

QString InstanceChannel::DefaultName() {
  const QString overridden = qEnvironmentVariable("TAVREL_INSTANCE_NAME");
  if (!overridden.isEmpty()) return overridden;
  QString owner = InstanceChannelOwner();
  if (owner.isEmpty()) owner = QStringLiteral("user");
  return QStringLiteral("tavrel-%1").arg(owner);
}

bool InstanceChannel::SendToRunning(const QString& name, const QString& path,
                                    const std::function<void()>& stillWaiting) {
  const std::optional<std::string> request = HandedFileRequest(path.toUtf8().toStdString());
  if (!request) return false;
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(QByteArray::fromStdString(*request));
  socket.flush();
  // No time limit while the program is there: giving up would start a second
  // program on the same port while the first is merely busy. Its end closes
  // the connection.
  bool toldWaiting = false;
  while (!socket.canReadLine()) {
    if (toldWaiting) QCoreApplication::processEvents();
    if (socket.waitForReadyRead(toldWaiting ? kShownWaitMs : kQuietWaitMs)) continue;
    if (socket.canReadLine()) break;
    // Still connected after the wait: the program is there and busy. (Only
    // the state tells: Windows' named pipes report no time-out error.)
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    if (!toldWaiting && stillWaiting) stillWaiting();
    toldWaiting = true;
  }
  return IsHandedFileTaken(socket.readLine().toStdString());
}

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::Listen(const QString& name) {
  {
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kConnectTimeoutMs)) return false;  // another program is listening
  }
  QLocalServer::removeServer(name);
  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  return m_server->listen(name);
}

void InstanceChannel::Serve() {
  if (m_server == nullptr || m_serving) return;
  m_serving = true;
  connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::HandleConnection);
  HandleConnection();
}

void InstanceChannel::HandleConnection() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    const auto answer = [this, socket] {
      if (!socket->canReadLine()) return;
      const std::optional<std::string> path = HandedFilePath(socket->readLine().toStdString());
      if (path) emit fileReceived(QString::fromStdString(*path));
      // Only now may the sender end: the file is in this program's hands.
      socket->write(QByteArray::fromStdString(std::string(kHandedFileTaken)));
      socket->flush();
    };
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, answer);
    // A request that waited for Serve() may be read already.
    answer();
    if (socket->state() == QLocalSocket::UnconnectedState) socket->deleteLater();
  }
}

}  // namespace tavrel
