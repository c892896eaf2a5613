// Hands a settings file to the program that is already running, so that
// opening a .tdx from the desktop while the program runs opens it there.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace tavrel {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  // The channel of this user's program (TAVREL_INSTANCE_NAME overrides it).
  static QString DefaultName();

  // Sends `path` to the program listening on `name` and waits until that
  // program has queued it: true then. False when no program is listening, it
  // ends before it answers, or the path cannot travel in one request line (a
  // line feed in it...). A program busy in a camera exchange answers
  // late; `stillWaiting` is called once when the answer is slow in coming,
  // and from then on this program's own events are handled while it waits
  // (a window it showed stays painted).
  static bool SendToRunning(const QString& name, const QString& path,
                            const std::function<void()>& stillWaiting = {});

  explicit InstanceChannel(QObject* parent = nullptr);
  ~InstanceChannel() override;

  // Claims the channel: from now on later starts hand their files to this
  // program and wait for it. A stale channel left by a program that ended
  // abnormally is taken over. False when another program holds it.
  bool Listen(const QString& name);
  // Takes the requests that have waited and every later one. Until then they
  // wait, so a program that never gets going (its start is cancelled) takes
  // nothing, and the waiting starts go on as programs of their own.
  void Serve();

 signals:
  // Emitted before the sender is told the file was taken: a receiver
  // connected directly has it queued by then.
  void fileReceived(const QString& path);

 private:
  void HandleConnection();

  QLocalServer* m_server = nullptr;
  bool m_serving = false;
};

}  // namespace tavrel
