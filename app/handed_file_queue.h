// Settings files handed over by later starts of the program. They wait here
// until the user is free: no modal window (a box, a file dialog, a save
// question) and no menu is up, so a file is never loaded and written to the
// camera beneath a question the user has not answered yet. Each is opened
// once, in the order it came.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrel {

class HandedFileQueue : public QObject {
  Q_OBJECT

 public:
  using Opener = std::function<void(const QString& path)>;

  explicit HandedFileQueue(Opener open, QObject* parent = nullptr);

  void Enqueue(const QString& path);
  qsizetype PendingCount() const { return m_pending.size(); }

 private:
  static bool UserIsFree();
  void OnIdle();
  void Schedule();
  void OpenNext();

  Opener m_open;
  QStringList m_pending;
  bool m_scheduled = false;
  bool m_opening = false;
};

}  // namespace tavrel
