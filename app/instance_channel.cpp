#include "app/instance_channel.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>

namespace tavrel {
namespace {

constexpr int kTimeoutMs = 2000;

}  // namespace

QString InstanceChannel::DefaultName() {
  const QString overridden = qEnvironmentVariable("TAVREL_INSTANCE_NAME");
  if (!overridden.isEmpty()) return overridden;
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = QStringLiteral("user");
  return QStringLiteral("tavrel-%1").arg(user);
}

bool InstanceChannel::SendToRunning(const QString& name, const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kTimeoutMs)) return false;
  const QByteArray message = path.toUtf8() + '\n';
  socket.write(message);
  if (!socket.waitForBytesWritten(kTimeoutMs)) return false;
  // The receiver answers once it has the whole name.
  if (!socket.waitForReadyRead(kTimeoutMs)) return false;
  return socket.readAll().startsWith("ok");
}

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::Listen(const QString& name) {
  {
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kTimeoutMs)) return false;  // another program is listening
  }
  QLocalServer::removeServer(name);
  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server->listen(name)) return false;
  connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::HandleConnection);
  return true;
}

void InstanceChannel::HandleConnection() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      const QString path = QString::fromUtf8(socket->readLine()).trimmed();
      socket->write("ok\n");
      socket->flush();
      if (!path.isEmpty()) emit fileReceived(path);
    });
  }
}

}  // namespace tavrel
