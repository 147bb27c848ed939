// The collations, the check of one combination and the result panel of the Check tab.

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>

#include "app/MainWindow.h"
#include "dialogs/EntryDialog.h"
#include "dialogs/ListViewer.h"
#include "lists/ListEditing.h"
#include "platform/ClickLabel.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/StringGrid.h"

using tallyra::CollationKind;
using tallyra::TextId;

namespace {

// What a list label shows of its list: its beginning, as much as fits.
constexpr int64_t kLabelText = 600;

// The labels of a category, indexed as the counters: 0 for three common numbers.
struct CategoryLabels {
  QLabel* caption;
  QLabel* count;
  QLabel* list;
};

// The beginning of a list as a label shows it: whole entries only, on as many lines as the
// label has room for, each line broken after an entry's comma and never in front of one. A
// line may break only at a blank that is not followed by "," or ";". When `complete` is false
// the text is a cut-off beginning, and its last piece may be cut too, so it is left out.
QString FitListText(const QString& text, bool complete, const QFontMetrics& metrics, int width,
                    int lines) {
  QStringList pieces;
  qsizetype start = 0;
  for (qsizetype i = 1; i <= text.size(); ++i) {
    const bool breakHere =
        text[i - 1] == u' ' && (i == text.size() || (text[i] != u',' && text[i] != u';'));
    if (breakHere) {
      pieces << text.mid(start, i - start);
      start = i;
    }
  }
  if (start < text.size()) pieces << text.mid(start);
  if (!complete && !pieces.isEmpty()) pieces.removeLast();

  QStringList shown;
  QString line;
  for (const QString& piece : pieces) {
    const QString longer = line + piece;
    // Blanks at the end of a line take no room on screen.
    if (metrics.horizontalAdvance(longer.trimmed()) <= width) {
      line = longer;
      continue;
    }
    if (line.isEmpty()) {
      // A piece wider than the whole line is cut at a glyph's edge, and nothing follows it.
      shown << metrics.elidedText(piece, Qt::ElideRight, width);
      return shown.join(u'\n');
    }
    shown << line;
    if (shown.size() == lines) return shown.join(u'\n');
    line = piece;
    if (metrics.horizontalAdvance(line.trimmed()) > width) {
      shown << metrics.elidedText(piece, Qt::ElideRight, width);
      return shown.join(u'\n');
    }
  }
  if (!line.isEmpty()) shown << line;
  return shown.join(u'\n');
}

// How many whole lines of the label's font fit into its text area.
int LabelLines(const QLabel& label) {
  const QFontMetrics metrics(label.font());
  const int height = label.contentsRect().height();
  if (height < metrics.height()) return 1;
  return 1 + (height - metrics.height()) / std::max(1, metrics.lineSpacing());
}

}  // namespace

void MainWindow::resetMatchPanel() {
  for (QLabel* caption : {sixesCaption, fivesCaption, foursCaption, threesCaption})
    caption->setEnabled(false);
  for (QLabel* count : {threesCount, foursCount, fivesCount, sixesCount}) {
    count->setEnabled(false);
    count->setText(QString());
  }
  for (QLabel* list : {threesList, foursList, fivesList, sixesList}) list->setText(QString());
  m_lists = {};
  m_totals = {};
}

void MainWindow::clearStakeMatchColumns() {
  stakesGrid->model().clearCounts();
}
void MainWindow::clearSystemMatchColumns() {
  systemGrid->model().clearCounts();
}

void MainWindow::showMatchCounts() {
  QLabel* const labels[] = {threesCount, foursCount, fivesCount, sixesCount};
  QString texts[4];
  for (std::size_t c = 0; c < 4; ++c) texts[c] = QString::number(m_totals[c]);
  // Large counts get a smaller face so that every digit stays in the label; the column of
  // counts keeps one size, the one the longest count needs.
  QFont font = threesCount->font();
  int size = 24;
  auto fits = [&] {
    const QFontMetrics metrics(font);
    for (std::size_t c = 0; c < 4; ++c) {
      if (metrics.horizontalAdvance(texts[c]) > labels[c]->width() - 2) return false;
    }
    return true;
  };
  font.setPixelSize(size);
  while (size > 9 && !fits()) font.setPixelSize(--size);
  for (std::size_t c = 0; c < 4; ++c) {
    labels[c]->setFont(font);
    labels[c]->setText(texts[c]);
  }
}

void MainWindow::applyOutcome(const tallyra::Outcome& outcome) {
  const CategoryLabels labels[] = {{threesCaption, threesCount, threesList},
                                   {foursCaption, foursCount, foursList},
                                   {fivesCaption, fivesCount, fivesList},
                                   {sixesCaption, sixesCount, sixesList}};
  m_totals = outcome.counts;
  m_lists = outcome.lists;
  for (std::size_t c = 0; c < 4; ++c) {
    // The Workspace keeps 32-bit counters; a count beyond them is shown whole all the same.
    m_ws->MatchCounts[c] = static_cast<int32_t>(std::min<int64_t>(outcome.counts[c], INT32_MAX));
    if (outcome.counts[c] > 0) {
      labels[c].count->setEnabled(true);
      labels[c].caption->setEnabled(true);
    }
    const tallyra::ListPtr& list = outcome.lists[c];
    QString text;
    if (list) {
      QLabel& label = *labels[c].list;
      text =
          FitListText(QString::fromUtf8(list->slice(0, kLabelText)), list->length() <= kLabelText,
                      QFontMetrics(label.font()), label.contentsRect().width(), LabelLines(label));
    }
    labels[c].list->setText(text);
  }
  // Grid columns run 6, 5, 4, 3; the outcome's categories 3, 4, 5, 6.
  if (outcome.stakesTouched) stakesGrid->model().setCountRows(outcome.stakeRows);
  if (outcome.systemTouched) systemGrid->model().setCountRows(outcome.systemRows);
  showMatchCounts();
}

void MainWindow::runCollation(CollationKind kind) {
  const bool stakes = kind == CollationKind::StakesWithStakes ||
                      kind == CollationKind::StakesWithDraws || kind == CollationKind::All;
  const bool system = kind == CollationKind::SystemWithSystem ||
                      kind == CollationKind::SystemWithDraws || kind == CollationKind::All;
  if (kind == CollationKind::All) {
    if (m_ws->StakeCount == 0 && m_ws->SystemCount == 0) return;
  } else if ((stakes && m_ws->StakeCount == 0) || (system && m_ws->SystemCount == 0)) {
    return;
  }
  resetMatchPanel();
  if (stakes) clearStakeMatchColumns();
  if (system) clearSystemMatchColumns();
  showTab(checkTab);
  m_ws->MatchCounts.fill(0);

  const tallyra::CollationInput input = tallyra::SnapshotFor(kind, *m_ws);
  tallyra::Outcome outcome;
  // The run stops on the progress window's Cancel or when the window is asked to close; the
  // first is passed on to the run's own flag by a timer.
  m_stopRun.store(false);
  m_closeAfterRun = false;
  std::atomic<const std::atomic<bool>*> taskCancel{nullptr};
  QTimer relay;
  connect(&relay, &QTimer::timeout, this, [&] {
    const std::atomic<bool>* cancel = taskCancel.load();
    if (cancel && cancel->load()) m_stopRun.store(true);
  });
  relay.start(20);
  struct Running {
    MainWindow& form;
    QWindow* window;
    Running(MainWindow& f) : form(f), window(f.windowHandle()) {
      form.m_collating = true;
      if (window) window->installEventFilter(&form);
    }
    ~Running() {
      form.m_collating = false;
      if (window) window->removeEventFilter(&form);
    }
  };
  bool finished = false;
  {
    const Running running(*this);
    finished =
        platform::RunLongTask(this, T(TextId::TxtCollating), [&](const std::atomic<bool>& cancel) {
          taskCancel.store(&cancel);
          outcome = tallyra::Collate(kind, input, &m_stopRun);
        });
  }
  if (!finished || m_stopRun.load()) {
    // A cancelled run leaves nothing half shown.
    resetMatchPanel();
    if (stakes) clearStakeMatchColumns();
    if (system) clearSystemMatchColumns();
    if (m_closeAfterRun) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return;
  }
  applyOutcome(outcome);
}

void MainWindow::collateStakesWithStakes() {
  runCollation(CollationKind::StakesWithStakes);
}
void MainWindow::collateStakesWithDraws() {
  runCollation(CollationKind::StakesWithDraws);
}
void MainWindow::collateSystemWithDraws() {
  runCollation(CollationKind::SystemWithDraws);
}
void MainWindow::collateSystemWithSystem() {
  runCollation(CollationKind::SystemWithSystem);
}
void MainWindow::collateAllWithDraws() {
  runCollation(CollationKind::All);
}

void MainWindow::enterCombination() {
  if (const auto numbers = m_entryDialog->enterOne(EntryMode::Combination, m_ws->HighestNumber)) {
    m_ws->CheckCombination.fill(0);
    for (int k = 1; k <= 12; ++k) m_ws->CheckCombination[k] = (*numbers)[k - 1];
  }
  const auto& cells = m_ws->CheckCombination;
  if (cells[1] == 0) return;
  for (int k = 1; k <= 12; ++k) {
    const int32_t v = cells[static_cast<std::size_t>(k)];
    combinationCells[static_cast<std::size_t>(k)]->setText(k <= 6 || v != 0 ? QString::number(v)
                                                                            : QString());
  }
}

void MainWindow::clearCombination() {
  for (int k = 1; k <= 12; ++k) combinationCells[static_cast<std::size_t>(k)]->setText(QString());
  m_ws->CheckCombination.fill(0);
  resetMatchPanel();
}

void MainWindow::checkCombination() {
  if (m_ws->CheckCombination[1] == 0) return;
  resetMatchPanel();
  m_ws->MatchCounts.fill(0);
  const bool againstStakes = withStakesRadio->isChecked();
  tallyra::CollationInput input;
  input.language = m_ws->Language;
  input.stakes = tallyra::SnapshotStakes(*m_ws);
  input.system = tallyra::SnapshotSystem(*m_ws);
  input.draws = tallyra::SnapshotDraws(*m_ws);
  const tallyra::Outcome outcome = tallyra::CheckCombination(m_ws->CheckCombination, againstStakes,
                                                             includeSystemBox->isChecked(), input);
  if (outcome.stakesTouched) clearStakeMatchColumns();
  if (outcome.systemTouched) clearSystemMatchColumns();
  applyOutcome(outcome);
}

void MainWindow::addCombinationToStakes() {
  const auto& cells = m_ws->CheckCombination;
  if (cells[1] == 0) return;
  int empty = 0;
  for (int k = 1; k <= 12; ++k) empty += cells[static_cast<std::size_t>(k)] == 0 ? 1 : 0;
  std::array<int32_t, 12> numbers{};
  std::copy(cells.begin() + 1, cells.end(), numbers.begin());
  const bool added = empty == 6 ? tallyra::AppendRow(tallyra::TableRef::of(m_ws->StakeTable),
                                                     m_ws->StakeCount, std::span(numbers).first(6))
                                : tallyra::AppendRow(tallyra::TableRef::of(m_ws->SystemTable),
                                                     m_ws->SystemCount, numbers);
  if (!added) {
    showPlainMessage(empty == 6 ? TextId::TxtStakesFull : TextId::TxtSystemFull);
    return;
  }
  refreshGrids();
}

void MainWindow::collateWithStakesChosen() {
  includeSystemBox->setEnabled(true);
}
void MainWindow::collateWithDrawsChosen() {
  includeSystemBox->setEnabled(false);
}

void MainWindow::showList(int category) {
  const tallyra::ListPtr& list = m_lists[static_cast<std::size_t>(category)];
  if (!list || list->empty()) return;
  const TextId captions[] = {TextId::TxtCoincidence3, TextId::TxtCoincidence4,
                             TextId::TxtCoincidence5, TextId::TxtCoincidence6};
  m_listViewer->showList(list, T(captions[category]), saveOptions);
}

void MainWindow::showThreesList() {
  showList(0);
}
void MainWindow::showFoursList() {
  showList(1);
}
void MainWindow::showFivesList() {
  showList(2);
}
void MainWindow::showSixesList() {
  showList(3);
}
