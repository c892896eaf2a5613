// Hands a settings file to the program that is already running, so that
// opening a .tdx from the desktop while the program runs opens it there.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace tavrel {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  // The channel of this user's program (TAVREL_INSTANCE_NAME overrides it).
  static QString DefaultName();

  // Sends `path` to the program listening on `name`: true when it took it.
  static bool SendToRunning(const QString& name, const QString& path);

  explicit InstanceChannel(QObject* parent = nullptr);
  ~InstanceChannel() override;

  // Starts listening; a stale channel left by a program that ended
  // abnormally is taken over.
  bool Listen(const QString& name);

 signals:
  void fileReceived(const QString& path);

 private:
  void HandleConnection();

  QLocalServer* m_server = nullptr;
};

}  // namespace tavrel
