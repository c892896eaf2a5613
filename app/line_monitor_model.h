// The line monitor's rows: the last exchanges on the camera line, at most
// Capacity() of them, oldest first. Rows come in from the decoder in the
// middle of an exchange and only wait there; they are shown when the event
// loop next runs, so the exchange never waits for the view. While paused,
// new rows wait (as many as the monitor holds) and show on resume.
#pragma once

#include <QAbstractTableModel>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <optional>

#include "model/line_row.h"

namespace tavrel {

class LineMonitorModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kDefaultCapacity = 10000;
  // True for a failed exchange's row (Qt::UserRole + 1).
  static constexpr int kFailedRole = Qt::UserRole + 1;

  explicit LineMonitorModel(int capacity = kDefaultCapacity, QObject* parent = nullptr);

  // Takes a finished exchange. Cheap: nothing is shown until Publish, which
  // the event loop runs soon after.
  void Add(LineRow&& row);
  // Shows the rows that wait, unless paused; the oldest give way beyond the
  // capacity.
  void Publish();

  void SetPaused(bool paused);
  bool IsPaused() const { return m_paused; }
  // Forgets every row, shown or waiting; the time base starts again with the
  // next row.
  void Clear();

  int Capacity() const { return m_capacity; }
  // Rows that gave way to newer ones since the start or the last Clear.
  std::uint64_t DroppedCount() const { return m_dropped; }
  int WaitingCount() const { return static_cast<int>(m_waiting.size()); }
  const LineRow& RowAt(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }
  // When the first row since the start or the last Clear began; times are
  // shown from there.
  std::int64_t FirstAtUs() const { return m_firstAtUs.value_or(0); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  // Rows shown, waiting or dropped changed.
  void countsChanged();

 private:
  void Drop(std::deque<LineRow>& rows, std::size_t count);

  int m_capacity;
  std::deque<LineRow> m_rows;
  std::deque<LineRow> m_waiting;
  std::uint64_t m_dropped = 0;
  std::optional<std::int64_t> m_firstAtUs;
  bool m_paused = false;
  QTimer m_publishTimer;
};

}  // namespace tavrel
