#include "app/line_monitor_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace tavrel {
namespace {

// Rows that arrive together are shown together, a moment later.
constexpr int kPublishDelayMs = 50;

// Behind a failed row: its words and bold type say it too.
const QColor kFailedBackground(255, 222, 218);

}  // namespace

LineMonitorModel::LineMonitorModel(int capacity, QObject* parent)
    : QAbstractTableModel(parent), m_capacity(capacity > 0 ? capacity : 1) {
  m_publishTimer.setSingleShot(true);
  m_publishTimer.setInterval(kPublishDelayMs);
  connect(&m_publishTimer, &QTimer::timeout, this, &LineMonitorModel::Publish);
}

void LineMonitorModel::Add(LineRow&& row) {
  if (!m_firstAtUs) m_firstAtUs = row.atUs;
  m_waiting.push_back(std::move(row));
  // Held while paused: no more than the monitor could show.
  const std::size_t capacity = static_cast<std::size_t>(m_capacity);
  if (m_waiting.size() > capacity) Drop(m_waiting, m_waiting.size() - capacity);
  if (!m_paused && !m_publishTimer.isActive()) m_publishTimer.start();
}

void LineMonitorModel::Drop(std::deque<LineRow>& rows, std::size_t count) {
  rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(count));
  m_dropped += count;
}

void LineMonitorModel::Publish() {
  m_publishTimer.stop();
  if (m_paused || m_waiting.empty()) {
    emit countsChanged();
    return;
  }
  const std::size_t capacity = static_cast<std::size_t>(m_capacity);
  const std::size_t overflow =
      m_rows.size() + m_waiting.size() > capacity ? m_rows.size() + m_waiting.size() - capacity : 0;
  const std::size_t leaving = std::min(overflow, m_rows.size());
  if (leaving > 0) {
    beginRemoveRows({}, 0, static_cast<int>(leaving) - 1);
    Drop(m_rows, leaving);
    endRemoveRows();
  }
  // More waiting than the monitor holds: only the newest are shown.
  if (m_waiting.size() > capacity) Drop(m_waiting, m_waiting.size() - capacity);
  const int first = static_cast<int>(m_rows.size());
  beginInsertRows({}, first, first + static_cast<int>(m_waiting.size()) - 1);
  for (LineRow& row : m_waiting) m_rows.push_back(std::move(row));
  m_waiting.clear();
  endInsertRows();
  emit countsChanged();
}

void LineMonitorModel::SetPaused(bool paused) {
  if (m_paused == paused) return;
  m_paused = paused;
  if (!m_paused) Publish();
  emit countsChanged();
}

void LineMonitorModel::Clear() {
  m_publishTimer.stop();
  beginResetModel();
  m_rows.clear();
  m_waiting.clear();
  m_dropped = 0;
  m_firstAtUs.reset();
  endResetModel();
  emit countsChanged();
}

int LineMonitorModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LineMonitorModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kLineRowColumnCount;
}

QVariant LineMonitorModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const LineRow& row = RowAt(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
      return QString::fromStdString(LineRowColumn(row, index.column(), FirstAtUs()));
    case Qt::FontRole:
      if (row.failed) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::BackgroundRole:
      return row.failed ? QBrush(kFailedBackground) : QVariant();
    case Qt::ForegroundRole:
      // Dark text on the light tint, whatever the palette.
      return row.failed ? QBrush(Qt::black) : QVariant();
    case kFailedRole:
      return row.failed;
    default:
      return {};
  }
}

QVariant LineMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  if (orientation == Qt::Horizontal) return QString::fromLatin1(LineRowColumnTitle(section));
  if (section < 0 || section >= rowCount()) return {};
  // The exchange's number since the program started: it stays with the row
  // when older rows give way.
  return QString::number(RowAt(section).number);
}

}  // namespace tavrel
