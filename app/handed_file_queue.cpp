#include "app/handed_file_queue.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>
#include <QTimer>

namespace tavrel {

HandedFileQueue::HandedFileQueue(Opener open, QObject* parent)
    : QObject(parent), m_open(std::move(open)) {
  // A file that waited for a window to close is opened on the next idle pass.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &HandedFileQueue::OnIdle);
  }
}

void HandedFileQueue::Enqueue(const QString& path) {
  m_pending.append(path);
  Schedule();
}

bool HandedFileQueue::UserIsFree() {
  // A modal window shown without a loop of its own, or any nested loop (a box,
  // a dialog's exec, a native file dialog, a menu).
  return QApplication::activeModalWidget() == nullptr &&
         QApplication::activePopupWidget() == nullptr && QThread::currentThread()->loopLevel() <= 1;
}

void HandedFileQueue::OnIdle() {
  // Checked here, not in a timer: while a window is up nothing is scheduled,
  // so the loop really sleeps.
  if (!m_opening && !m_pending.isEmpty() && UserIsFree()) Schedule();
}

void HandedFileQueue::Schedule() {
  if (m_scheduled) return;
  m_scheduled = true;
  QTimer::singleShot(0, this, &HandedFileQueue::OpenNext);
}

void HandedFileQueue::OpenNext() {
  m_scheduled = false;
  // Opening shows boxes of its own; the rest waits for them.
  if (m_opening || m_pending.isEmpty() || !UserIsFree()) return;
  m_opening = true;
  const QString path = m_pending.takeFirst();
  m_open(path);
  m_opening = false;
  if (!m_pending.isEmpty()) Schedule();
}

}  // namespace tavrel
