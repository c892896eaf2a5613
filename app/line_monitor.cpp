#include "app/line_monitor.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "app/file_chooser.h"
#include "app/line_monitor_model.h"
#include "link/user_prompt.h"
#include "model/program_message.h"

namespace tavrel {
namespace {

const QString kTitle = QStringLiteral("Line Monitor");

// Column widths before any row is listed, in average characters: time,
// activity, the two directions, value; the outcome takes the rest. With
// rows, each column fits the rows in view, up to kWidestColumnChars.
constexpr int kColumnChars[] = {9, 28, 44, 36, 38};
constexpr int kWidestColumnChars = 60;
constexpr int kFailuresOnly = 1;  // the filter's second choice
constexpr int kFirstWidth = 1240;
constexpr int kFirstHeight = 320;

QString ExchangeCount(std::uint64_t count) {
  return count == 1 ? QStringLiteral("1 exchange") : QStringLiteral("%1 exchanges").arg(count);
}

}  // namespace

CLineMonitor::CLineMonitor(LineMonitorModel& rows, FileChooser& files, UserPrompt& prompt,
                           QWidget* parent)
    : QDockWidget(kTitle, parent), m_rows(rows), m_files(files), m_prompt(prompt) {
  setObjectName(QStringLiteral("lineMonitor"));
  setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  // The keyboard stays in the panel when the monitor appears.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);

  auto* body = new QWidget(this);
  // A plain button whose caption says what it does next: a checkable one
  // would be heard as a radio button, as the panel's are.
  m_pause = new QPushButton(QStringLiteral("Pause"), body);
  m_pause->setToolTip(QStringLiteral("Hold the list still; new exchanges wait and show on Resume"));
  auto* clear = new QPushButton(QStringLiteral("Clear"), body);
  clear->setToolTip(QStringLiteral("Forget every exchange listed"));
  m_copy = new QPushButton(QStringLiteral("Copy"), body);
  m_copy->setToolTip(QStringLiteral("Copy the selected rows as text (Ctrl+C in the list)"));
  m_copy->setEnabled(false);
  auto* save = new QPushButton(QStringLiteral("Save As..."), body);
  save->setToolTip(QStringLiteral("Save the listed exchanges as a trace file, as --trace writes"));
  auto* showLabel = new QLabel(QStringLiteral("Show"), body);
  m_filter = new QComboBox(body);
  m_filter->addItems({QStringLiteral("All exchanges"), QStringLiteral("Failures only")});
  m_filter->setAccessibleName(showLabel->text());
  m_filter->setToolTip(QStringLiteral("List every exchange, or only those that failed"));
  showLabel->setBuddy(m_filter);
  m_note = new QLabel(body);
  m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

  m_shown = new QSortFilterProxyModel(this);
  m_shown->setSourceModel(&m_rows);
  m_shown->setFilterRole(LineMonitorModel::kFailedRole);
  m_shown->setFilterKeyColumn(0);

  m_table = new QTableView(body);
  m_table->setModel(m_shown);
  m_table->setAccessibleName(QStringLiteral("Exchanges on the camera line"));
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the list for the buttons; the arrows move within it.
  m_table->setTabKeyNavigation(false);
  m_table->setWordWrap(false);
  m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
  m_table->horizontalHeader()->setStretchLastSection(true);
  const int characterWidth = m_table->fontMetrics().averageCharWidth();
  for (int column = 0; column < static_cast<int>(std::size(kColumnChars)); ++column) {
    m_table->setColumnWidth(column, kColumnChars[column] * characterWidth);
  }
  m_table->installEventFilter(this);

  auto* buttons = new QHBoxLayout;
  for (QWidget* control : std::initializer_list<QWidget*>{m_pause, clear, m_copy, save}) {
    buttons->addWidget(control);
  }
  buttons->addSpacing(12);
  buttons->addWidget(showLabel);
  buttons->addWidget(m_filter);
  buttons->addSpacing(12);
  buttons->addWidget(m_note, 1);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(buttons);
  layout->addWidget(m_table, 1);
  setWidget(body);
  QWidget::setTabOrder(m_table, m_pause);
  QWidget::setTabOrder(m_pause, clear);
  QWidget::setTabOrder(clear, m_copy);
  QWidget::setTabOrder(m_copy, save);
  QWidget::setTabOrder(save, m_filter);

  connect(m_pause, &QPushButton::clicked, this, [this] {
    const bool paused = !m_rows.IsPaused();
    m_pause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    m_rows.SetPaused(paused);
  });
  connect(clear, &QPushButton::clicked, &m_rows, &LineMonitorModel::Clear);
  connect(m_copy, &QPushButton::clicked, this, &CLineMonitor::CopySelectedRows);
  connect(save, &QPushButton::clicked, this, &CLineMonitor::SaveAs);
  connect(m_filter, &QComboBox::currentIndexChanged, this, [this](int shown) {
    m_shown->setFilterFixedString(shown == kFailuresOnly ? QStringLiteral("true") : QString());
    UpdateNote();
  });
  connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { m_copy->setEnabled(m_table->selectionModel()->hasSelection()); });
  connect(&m_rows, &LineMonitorModel::countsChanged, this, &CLineMonitor::UpdateNote);
  // The list follows new rows while it shows the newest.
  connect(m_shown, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
    const QScrollBar* bar = m_table->verticalScrollBar();
    m_followNext = bar->value() == bar->maximum();
  });
  connect(m_shown, &QAbstractItemModel::rowsInserted, this, [this] {
    if (m_followNext) m_table->scrollToBottom();
  });
  UpdateNote();
}

QString CLineMonitor::NoteText() const {
  const auto listed = static_cast<std::uint64_t>(m_shown->rowCount());
  const auto all = static_cast<std::uint64_t>(m_rows.rowCount());
  QString text = FailuresOnly()
                     ? QStringLiteral("%1 failed of %2 listed").arg(listed).arg(ExchangeCount(all))
                     : QStringLiteral("%1 listed").arg(ExchangeCount(listed));
  if (const std::uint64_t dropped = m_rows.DroppedCount(); dropped > 0) {
    text += QStringLiteral("; %1 older %2 dropped (the monitor keeps the last %3)")
                .arg(dropped)
                .arg(dropped == 1 ? QStringLiteral("one") : QStringLiteral("ones"))
                .arg(m_rows.Capacity());
  }
  if (m_rows.IsPaused()) {
    const int waiting = m_rows.WaitingCount();
    text += QStringLiteral("; paused, %1 new %2 waiting")
                .arg(waiting)
                .arg(waiting == 1 ? QStringLiteral("one") : QStringLiteral("ones"));
  }
  return text;
}

bool CLineMonitor::FailuresOnly() const {
  return m_filter->currentIndex() == kFailuresOnly;
}

void CLineMonitor::UpdateNote() {
  const QString text = NoteText();
  m_note->setText(text);
  // Heard with the list, as a screen reader comes to it.
  m_table->setAccessibleDescription(text);
}

void CLineMonitor::ShowBeside() {
  if (!m_placed && isFloating()) {
    m_placed = true;
    QRect area(
        parentWidget() != nullptr ? parentWidget()->frameGeometry().bottomLeft() : QPoint(0, 0),
        QSize(kFirstWidth, kFirstHeight));
    area.translate(0, 8);
    if (const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : nullptr) {
      // Below the main window where the screen has room, else as low as it
      // goes.
      const QRect screenArea = screen->availableGeometry();
      area.setWidth(std::min(area.width(), screenArea.width()));
      area.setHeight(std::min(area.height(), screenArea.height()));
      area.moveRight(std::min(area.right(), screenArea.right()));
      area.moveBottom(std::min(area.bottom(), screenArea.bottom()));
      area.moveLeft(std::max(area.left(), screenArea.left()));
      area.moveTop(std::max(area.top(), screenArea.top()));
    }
    setGeometry(area);
  }
  QWidget* keyboardWindow = QApplication::activeWindow();
  show();
  if (!m_fitted && m_shown->rowCount() > 0) {
    // Once, to the rows in view, when there are some to measure.
    m_fitted = true;
    m_table->resizeColumnsToContents();
    const int widest = kWidestColumnChars * m_table->fontMetrics().averageCharWidth();
    for (int column = 0; column + 1 < kLineRowColumnCount; ++column) {
      m_table->setColumnWidth(column, std::min(m_table->columnWidth(column), widest));
    }
  }
  if (keyboardWindow == nullptr || keyboardWindow == this) return;
  // A platform that activates every window it shows, whatever it was asked,
  // gives the keyboard back at once.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (QApplication::activeWindow() != this) return;
  keyboardWindow->activateWindow();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CLineMonitor::CopySelectedRows() {
  QModelIndexList selected = m_table->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  std::vector<int> rows;
  for (const QModelIndex& index : selected) rows.push_back(m_shown->mapToSource(index).row());
  std::sort(rows.begin(), rows.end());
  std::string text = LineRowTitles() + '\n';
  for (int row : rows) text += LineRowText(m_rows.RowAt(row), m_rows.FirstAtUs()) + '\n';
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

bool CLineMonitor::SaveTrace(const QString& path, QString* error) const {
  std::string text;
  const int listed = m_shown->rowCount();
  const std::int64_t firstAtUs =
      listed > 0 ? m_rows.RowAt(m_shown->mapToSource(m_shown->index(0, 0)).row()).atUs : 0;
  // Remarks, in the trace's own form, for what the file leaves out.
  if (m_rows.DroppedCount() > 0) {
    text += LineTrace::FormatNote("line monitor: " + std::to_string(m_rows.DroppedCount()) +
                                      " earlier exchanges were dropped before this file was saved",
                                  firstAtUs) +
            '\n';
  }
  if (FailuresOnly()) {
    text += LineTrace::FormatNote("line monitor: failed exchanges only", firstAtUs) + '\n';
  }
  for (int row = 0; row < listed; ++row) {
    text += LineRowTraceLines(m_rows.RowAt(m_shown->mapToSource(m_shown->index(row, 0)).row()));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  return true;
}

bool CLineMonitor::SaveAs() {
  FileRequest request;
  request.title = QStringLiteral("Save Trace As");
  request.filters = {QStringLiteral("Trace files (*.txt)"), QStringLiteral("All files (*)")};
  request.defaultSuffix = QStringLiteral("txt");
  request.proposedPath = QStringLiteral("line-trace.txt");
  request.folderMustExist = true;
  request.owner = this;
  const std::optional<QString> path = m_files.ChooseFileToSave(request);
  if (!path) return false;
  QString error;
  if (SaveTrace(*path, &error)) return true;
  m_prompt.ShowMessage(ProgramMessage(
      QStringLiteral("The trace could not be saved to %1: %2").arg(*path, error).toStdString(),
      MessageIcon::kExclamation));
  return false;
}

bool CLineMonitor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_table) {
    // Ctrl+C in the list copies its rows, not what the window's edit
    // command would act on.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      event->accept();
      return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
      CopySelectedRows();
      return true;
    }
  }
  return QDockWidget::eventFilter(watched, event);
}

}  // namespace tavrel
