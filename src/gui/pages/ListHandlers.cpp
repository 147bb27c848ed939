// The main window's commands for the draw results and the refresh of the three list grids.

#include <QLabel>
#include <new>

#include "app/MainWindow.h"
#include "lists/RecordReader.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "pages/StatisticsPage.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

namespace {

constexpr const char* kResultsFileName = "Results.txt";

}  // namespace

namespace {

// Puts a file that was read into a list, or tells the user why it was not.
bool ApplyRecordFile(QWidget* owner, int32_t language, const QString& path,
                     const tallyra::FileText& file, tallyra::TableRef table, int32_t& count,
                     bool keepLatest, QString& notice) {
  notice.clear();
  auto showError = [&](const std::string& text) {
    platform::ShowError(owner, platform::Tr(TextId::TxtAppTitle, language),
                        QString::fromUtf8(text));
  };
  try {
    if (!file.ok) {
      showError(
          tallyra::Format(TextId::TxtCannotOpen, language,
                          {path.toStdString(), tallyra::DescribeFileError(file.error, language)}));
      return false;
    }
    tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
        file.data, table, count,
        keepLatest ? tallyra::OverflowRule::KeepLatest : tallyra::OverflowRule::RejectFile);
    // A bad token or an unfinished line is the file's own bytes, in whatever encoding the
    // file has.
    outcome.token = platform::FromFileBytes(outcome.token).toStdString();
    outcome.unfinishedText = platform::FromFileBytes(outcome.unfinishedText).toStdString();
    const std::string message = tallyra::DescribeReadOutcome(outcome, language);
    if (!outcome.ok()) {
      showError(message);
      return false;
    }
    notice = QString::fromUtf8(message);
    return true;
  } catch (const std::bad_alloc&) {
    // The reader is all or nothing, so the list is as it was.
    showError(tallyra::Text(TextId::TxtOutOfMemory, language));
    return false;
  }
}

}  // namespace

bool MainWindow::loadRecordFile(const QString& path, tallyra::TableRef table, int32_t& count,
                                bool keepLatest, QString& notice) {
  return ApplyRecordFile(
      this, m_ws->Language, path,
      tallyra::ReadWholeFile(platform::ToLocalPath(path), tallyra::kMaxListFileBytes), table, count,
      keepLatest, notice);
}

void MainWindow::showLoadNotice(const QString& notice) {
  if (!notice.isEmpty()) platform::ShowMessage(this, T(TextId::TxtAppTitle), notice);
}

void MainWindow::loadStartupResults() {
  const tallyra::FileText file =
      tallyra::ReadWholeFile(kResultsFileName, tallyra::kMaxListFileBytes);
  // Only a file that cannot be read gets the plain start-up message; one that is too large
  // is explained as on any load.
  if (!file.ok && file.error != tallyra::kFileTooLarge) {
    showPlainMessage(TextId::TxtResultsLoadFailed);
    return;
  }
  QString notice;
  ApplyRecordFile(this, m_ws->Language, QString::fromLatin1(kResultsFileName), file,
                  tallyra::TableRef::of(m_ws->ResultTable), m_ws->ResultCount, true, notice);
  if (!notice.isEmpty()) {
    refreshGrids();
    showLoadNotice(notice);
  }
}

void MainWindow::loadResults() {
  if (!platform::AskYesNo(this, T(TextId::TxtCapLoadResults), T(TextId::TxtAskLoadResults))) {
    return;
  }
  tallyra::ClearRows(tallyra::TableRef::of(m_ws->ResultTable), m_ws->ResultCount,
                     m_ws->BallsPerStake);
  platform::FileDialogOptions open = openOptions;
  open.fileName = QString::fromLatin1(kResultsFileName);
  QString notice;
  if (const std::optional<QString> path = platform::GetOpenFileName(this, open)) {
    // Whatever goes wrong with the file is shown there; the grid below then shows the table
    // as it really is.
    loadRecordFile(*path, tallyra::TableRef::of(m_ws->ResultTable), m_ws->ResultCount, true,
                   notice);
  }
  refreshGrids();
  if (m_ws->ResultCount == 0) {
    resultsGrid->model().setGridRowCount(2);
    resultsGrid->model().setFilledRows(0);
    statusPanel(StatusPanel::DrawCount)->setText(QStringLiteral("0"));
  }
  m_statisticsPage->compute();
  m_statisticsPage->show();
  showLoadNotice(notice);
}

void MainWindow::bindListCells() {
  // The grids read their cells from the Workspace whenever they paint; a refresh only tells
  // them how many rows are filled.
  const tallyra::Workspace& ws = *m_ws;
  stakesGrid->model().setCellText([&ws](int row, int col) {
    return col == 0   ? QString::number(row)
           : col <= 6 ? QString::number(ws.StakeTable.cell[col][row])
                      : QString();
  });
  resultsGrid->model().setCellText([&ws](int row, int col) {
    return col == 0 ? QString::number(row) : QString::number(ws.ResultTable.cell[col][row]);
  });
  systemGrid->model().setCellText([&ws](int row, int col) {
    if (col == 0) return QString::number(row);
    const int32_t value = col <= 12 ? ws.SystemTable.cell[col][row] : 0;
    return value == 0 ? QString() : QString::number(value);
  });
}

void MainWindow::refreshGrids() {
  const tallyra::Workspace& ws = *m_ws;
  if (ws.StakeCount > 0) {
    auto& grid = stakesGrid->model();
    grid.setGridRowCount(ws.StakeCount + 1);
    setPanel(StatusPanel::StakeCount, ws.StakeCount);
    grid.setFilledRows(ws.StakeCount);
  }
  if (ws.ResultCount > 0) {
    setPanel(StatusPanel::DrawCount, ws.ResultCount);
    auto& grid = resultsGrid->model();
    grid.setGridRowCount(ws.ResultCount + 1);
    grid.setFilledRows(ws.ResultCount);
  }
  if (ws.SystemCount > 0) {
    setPanel(StatusPanel::SystemCount, ws.SystemCount);
    auto& grid = systemGrid->model();
    grid.setGridRowCount(ws.SystemCount + 1);
    grid.setFilledRows(ws.SystemCount);
  }
}
