// The line monitor: a pane of its own beside the control panel (floating at
// first; it docks to the main window's bottom or right edge) listing every
// exchange on the camera line as it happens, decoded. Pause and resume,
// clear, copy the selected rows, save them as a trace file, show only the
// failures. Showing it leaves the keyboard where it was.
//
// Its controls, in Tab order: the list, Pause (Resume while paused), Clear,
// Copy, Save As... and Show (all exchanges or failures only).
#pragma once

#include <QDockWidget>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace tavrel {

class FileChooser;
class LineMonitorModel;
class UserPrompt;

class CLineMonitor : public QDockWidget {
  Q_OBJECT

 public:
  // `rows`, `files` and `prompt` must outlive the monitor.
  CLineMonitor(LineMonitorModel& rows, FileChooser& files, UserPrompt& prompt,
               QWidget* parent = nullptr);

  QTableView* Table() const { return m_table; }
  LineMonitorModel& Rows() const { return m_rows; }
  // What the note under the buttons says: how many exchanges are listed,
  // how many older ones were dropped, how many wait while paused.
  QString NoteText() const;

  // Shows the monitor without taking the keyboard from where it is; the
  // first time beside the main window.
  void ShowBeside();

  // The selected rows (all columns, tab-separated, with the column titles
  // first) on the clipboard. Nothing selected: nothing copied.
  void CopySelectedRows();
  // Asks for a file and writes the listed exchanges to it as the trace file
  // has them. False when cancelled or not written (the reason was shown).
  bool SaveAs();
  // Writes the listed exchanges to `path` as trace lines; a first remark
  // says how many older exchanges were dropped, if any. The reason in
  // `error` when it fails.
  bool SaveTrace(const QString& path, QString* error) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateNote();
  bool FailuresOnly() const;

  LineMonitorModel& m_rows;
  FileChooser& m_files;
  UserPrompt& m_prompt;
  QSortFilterProxyModel* m_shown = nullptr;
  QTableView* m_table = nullptr;
  QPushButton* m_pause = nullptr;
  QPushButton* m_copy = nullptr;
  QComboBox* m_filter = nullptr;
  QLabel* m_note = nullptr;
  bool m_placed = false;
  bool m_fitted = false;     // the columns fitted to the rows once
  bool m_followNext = true;  // the list showed its newest row before new ones came
};

}  // namespace tavrel
