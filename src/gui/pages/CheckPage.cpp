#include "pages/CheckPage.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <span>

#include "dialogs/EntryDialog.h"
#include "dialogs/ListViewer.h"
#include "lists/ListEditing.h"
#include "pages/PageLayout.h"
#include "platform/ClickLabel.h"
#include "platform/Handler.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::CollationKind;
using tallyra::TextId;

namespace {

// What a list label shows of its list: its beginning, as much as fits.
constexpr int64_t kLabelText = 600;
const QColor kGreyedText(0x80, 0x80, 0x80);

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

CheckPage::CheckPage(QWidget* tab, tallyra::Workspace& ws, LanguageSource language,
                     EntryDialog& entry, ListViewer& viewer,
                     const platform::FileDialogOptions& saveOptions)
    : QObject(tab),
      m_tab(tab),
      m_ws(ws),
      m_language(std::move(language)),
      m_entry(entry),
      m_viewer(viewer),
      m_saveOptions(saveOptions) {
  QWidget* panel = layout::Panel(tab);
  m_combinationCaption = layout::Place(new QLabel(panel), "Label1", 29, 11, 175, 20);
  m_combinationCells.assign(13, nullptr);
  for (int i = 1; i <= 12; ++i) {
    const int x = i <= 6 ? 208 + 40 * (i - 1) : 464 + 40 * (i - 7);
    const QByteArray name = "L" + QByteArray::number(i);
    QLabel* cell = layout::Place(new QLabel(panel), name.constData(), x, 8, 33, 25);
    cell->setAlignment(Qt::AlignCenter);
    cell->setAutoFillBackground(true);
    QPalette palette = cell->palette();
    palette.setColor(QPalette::Window,
                     i <= 6 ? QColor(0x00, 0x80, 0x00) : QColor(0x80, 0x80, 0x00));
    // Maroon numbers on green, purple ones on olive.
    palette.setColor(QPalette::WindowText,
                     i <= 6 ? QColor(0x80, 0x00, 0x00) : QColor(0x80, 0x00, 0x80));
    cell->setPalette(palette);
    m_combinationCells[static_cast<std::size_t>(i)] = cell;
  }
  m_collateWithBox = layout::Place(new QGroupBox(panel), "RadioGroup1", 64, 40, 593, 49);
  m_withStakesRadio = layout::Place(new QRadioButton(m_collateWithBox), "Radio1", 16, 20, 150, 22);
  m_includeSystemBox = layout::Place(new QCheckBox(m_collateWithBox), "CheckSys", 176, 20, 230, 22);
  m_withDrawsRadio = layout::Place(new QRadioButton(m_collateWithBox), "Radio2", 424, 20, 150, 22);
  m_withStakesRadio->setChecked(true);
  m_resultsBox = layout::Place(new QGroupBox(panel), "GroupBox1", 64, 88, 593, 209);
  // The result panel: per category, top to bottom 6, 5, 4, 3, a caption, a count and the
  // clickable beginning of its list.
  struct Row {
    const char* captionName;
    const char* text;
    const char* countName;
    const char* listName;
    int y;
    int listHeight;
  };
  const Row rows[] = {{"Label5", "3 - ", "LR3", "Lab3", 152, 41},
                      {"Label4", "4 - ", "LR4", "Lab4", 104, 41},
                      {"Label3", "5 - ", "LR5", "Lab5", 64, 25},
                      {"Label2", "6 - ", "LR6", "Lab6", 24, 25}};
  for (int c = 3; c >= 0; --c) {
    const Row& row = rows[c];
    const auto k = static_cast<std::size_t>(c);
    m_captions[k] = layout::Place(new QLabel(QString::fromLatin1(row.text), m_resultsBox),
                                  row.captionName, 16, row.y, 41, 33);
    m_counts[k] = layout::Place(new QLabel(m_resultsBox), row.countName, 56, row.y, 73, 33);
    // Red while enabled; a category without coincidences is drawn greyed.
    for (QLabel* label : {m_captions[k], m_counts[k]}) {
      QPalette palette = label->palette();
      palette.setColor(QPalette::Active, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Disabled, QPalette::WindowText, kGreyedText);
      label->setPalette(palette);
    }
    auto* list = layout::Place(new platform::ClickLabel(m_resultsBox), row.listName, 128, row.y + 4,
                               433, row.listHeight);
    list->setAutoFillBackground(true);
    // The lines are broken when the text is set (after an entry's comma, whole lines only), so
    // the label itself does not wrap. A small margin keeps the text off the label's edge.
    list->setWordWrap(false);
    list->setContentsMargins(4, 1, 4, 1);
    list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    list->setCursor(Qt::PointingHandCursor);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80));
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    list->setPalette(palette);
    m_listLabels[k] = list;
    connect(list, &platform::ClickLabel::clicked, this,
            [this, c] { Guarded([&] { showList(c); }); });
  }
  m_enterButton = layout::Button(panel, "BitComb", 32, 312, 145, 41);
  m_clearButton = layout::Button(panel, "BitCleanComb", 200, 312, 145, 41);
  m_checkButton = layout::Button(panel, "BitTestStav", 368, 312, 145, 41);
  m_addButton = layout::Button(panel, "BitFromComb", 536, 312, 145, 41);

  auto bindButton = [this](QPushButton* button, void (CheckPage::*command)()) {
    connect(button, &QPushButton::clicked, this,
            [this, command] { Guarded([&] { (this->*command)(); }); });
  };
  bindButton(m_enterButton, &CheckPage::enterCombination);
  bindButton(m_clearButton, &CheckPage::clearCombination);
  bindButton(m_checkButton, &CheckPage::checkCombination);
  bindButton(m_addButton, &CheckPage::addCombinationToStakes);
  connect(m_withStakesRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Guarded([&] { collateWithStakesChosen(); });
  });
  connect(m_withDrawsRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Guarded([&] { collateWithDrawsChosen(); });
  });
}

template <typename F>
void CheckPage::Guarded(F&& handler) {
  platform::RunHandler(owner(), std::forward<F>(handler));
}

QString CheckPage::T(TextId id) const {
  return platform::Tr(id, m_language());
}

QWidget* CheckPage::owner() const {
  return m_tab->window();
}

void CheckPage::applyFonts(const QFont& base) {
  QFont big;
  big.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans")});
  big.setPixelSize(24);
  big.setBold(true);
  QFont listFont = base;
  listFont.setPixelSize(16);
  listFont.setBold(true);
  for (std::size_t c = 0; c < 4; ++c) {
    m_captions[c]->setFont(big);
    m_counts[c]->setFont(big);
    m_listLabels[c]->setFont(listFont);
  }
  QFont bold = base;
  bold.setBold(true);
  for (int i = 1; i <= 12; ++i) m_combinationCells[static_cast<std::size_t>(i)]->setFont(bold);
}

void CheckPage::applyTexts() {
  m_clearButton->setText(T(TextId::TxtClean));
  m_enterButton->setText(T(TextId::TxtEnterCombination));
  m_addButton->setText(T(TextId::TxtAddToStakes));
  m_checkButton->setText(T(TextId::TxtCheck));
  m_includeSystemBox->setText(T(TextId::TxtIncludeSystem));
  m_resultsBox->setTitle(T(TextId::TxtCheckResults));
  for (QLabel* list : m_listLabels) list->setToolTip(T(TextId::TxtClickForList));
  m_combinationCaption->setText(T(TextId::TxtCurrentCombination));
  m_withStakesRadio->setText(T(TextId::TxtWithStakes));
  m_withDrawsRadio->setText(T(TextId::TxtWithResults));
  m_collateWithBox->setTitle(T(TextId::TxtCollateWithBox));
}

void CheckPage::resetMatchPanel() {
  for (QLabel* caption : m_captions) caption->setEnabled(false);
  for (QLabel* count : m_counts) {
    count->setEnabled(false);
    count->setText(QString());
  }
  for (QLabel* list : m_listLabels) list->setText(QString());
  m_lists = {};
  m_totals = {};
}

void CheckPage::showMatchCounts() {
  QString texts[4];
  for (std::size_t c = 0; c < 4; ++c) texts[c] = QString::number(m_totals[c]);
  // Large counts get a smaller face so that every digit stays in the label; the column of
  // counts keeps one size, the one the longest count needs.
  QFont font = m_counts[0]->font();
  int size = 24;
  auto fits = [&] {
    const QFontMetrics metrics(font);
    for (std::size_t c = 0; c < 4; ++c) {
      if (metrics.horizontalAdvance(texts[c]) > m_counts[c]->width() - 2) return false;
    }
    return true;
  };
  font.setPixelSize(size);
  while (size > 9 && !fits()) font.setPixelSize(--size);
  for (std::size_t c = 0; c < 4; ++c) {
    m_counts[c]->setFont(font);
    m_counts[c]->setText(texts[c]);
  }
}

void CheckPage::applyOutcome(const tallyra::Outcome& outcome) {
  m_totals = outcome.counts;
  m_lists = outcome.lists;
  for (std::size_t c = 0; c < 4; ++c) {
    // The Workspace keeps 32-bit counters; a count beyond them is shown whole all the same.
    m_ws.MatchCounts[c] = static_cast<int32_t>(std::min<int64_t>(outcome.counts[c], INT32_MAX));
    if (outcome.counts[c] > 0) {
      m_counts[c]->setEnabled(true);
      m_captions[c]->setEnabled(true);
    }
    const tallyra::ListPtr& list = outcome.lists[c];
    QString text;
    if (list) {
      QLabel& label = *m_listLabels[c];
      text =
          FitListText(QString::fromUtf8(list->slice(0, kLabelText)), list->length() <= kLabelText,
                      QFontMetrics(label.font()), label.contentsRect().width(), LabelLines(label));
    }
    m_listLabels[c]->setText(text);
  }
  emit countsFound(outcome);
  showMatchCounts();
}

void CheckPage::closeWhenStopped() {
  m_closeAfterRun = true;
  if (m_run) m_run->Cancel();
}

bool CheckPage::eventFilter(QObject* watched, QEvent* event) {
  // While a collation runs, user input to the window is held off, and with it a close request
  // reaching the widget. The request is taken here, where the window system delivers it.
  if (collating() && event->type() == QEvent::Close && watched == owner()->windowHandle()) {
    closeWhenStopped();
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void CheckPage::collate(CollationKind kind) {
  const bool stakes = kind == CollationKind::StakesWithStakes ||
                      kind == CollationKind::StakesWithDraws || kind == CollationKind::All;
  const bool system = kind == CollationKind::SystemWithSystem ||
                      kind == CollationKind::SystemWithDraws || kind == CollationKind::All;
  if (kind == CollationKind::All) {
    if (m_ws.StakeCount == 0 && m_ws.SystemCount == 0) return;
  } else if ((stakes && m_ws.StakeCount == 0) || (system && m_ws.SystemCount == 0)) {
    return;
  }
  resetMatchPanel();
  emit countsCleared(stakes, system);
  emit showTabRequested(m_tab);
  m_ws.MatchCounts.fill(0);

  const tallyra::CollationInput input = tallyra::SnapshotFor(kind, m_ws);
  tallyra::Outcome outcome;
  // The run stops on the progress window's Cancel or when the window is asked to close: both
  // reach it through its control.
  tallyra::WorkControl control;
  m_closeAfterRun = false;
  // While it runs, the window's close requests come here.
  struct Running {
    CheckPage& page;
    QWindow* window;
    Running(CheckPage& p, tallyra::WorkControl& control)
        : page(p), window(p.owner()->windowHandle()) {
      page.m_run = &control;
      if (window) window->installEventFilter(&page);
    }
    ~Running() {
      page.m_run = nullptr;
      if (window) window->removeEventFilter(&page);
    }
  };
  platform::TaskWindow look;
  look.title = look.text = T(TextId::TxtCollating);
  bool finished = false;
  {
    const Running running(*this, control);
    finished = platform::RunLongTask(owner(), look, control, [&](tallyra::WorkControl& work) {
      outcome = tallyra::Collate(kind, input, &work.CancelFlag());
    });
  }
  if (!finished) {
    // A cancelled run leaves nothing half shown.
    resetMatchPanel();
    emit countsCleared(stakes, system);
    if (m_closeAfterRun) {
      QMetaObject::invokeMethod(owner(), &QWidget::close, Qt::QueuedConnection);
    }
    return;
  }
  applyOutcome(outcome);
}

void CheckPage::enterCombination() {
  if (const auto numbers = m_entry.enterOne(EntryMode::Combination, m_ws.HighestNumber)) {
    m_ws.CheckCombination.fill(0);
    for (int k = 1; k <= 12; ++k) m_ws.CheckCombination[k] = (*numbers)[k - 1];
  }
  const auto& cells = m_ws.CheckCombination;
  if (cells[1] == 0) return;
  for (int k = 1; k <= 12; ++k) {
    const int32_t v = cells[static_cast<std::size_t>(k)];
    m_combinationCells[static_cast<std::size_t>(k)]->setText(k <= 6 || v != 0 ? QString::number(v)
                                                                              : QString());
  }
}

void CheckPage::clearCombination() {
  for (int k = 1; k <= 12; ++k) m_combinationCells[static_cast<std::size_t>(k)]->setText(QString());
  m_ws.CheckCombination.fill(0);
  resetMatchPanel();
}

void CheckPage::checkCombination() {
  if (m_ws.CheckCombination[1] == 0) return;
  resetMatchPanel();
  m_ws.MatchCounts.fill(0);
  const bool againstStakes = m_withStakesRadio->isChecked();
  tallyra::CollationInput input;
  input.language = m_ws.Language;
  input.stakes = tallyra::SnapshotStakes(m_ws);
  input.system = tallyra::SnapshotSystem(m_ws);
  input.draws = tallyra::SnapshotDraws(m_ws);
  const tallyra::Outcome outcome = tallyra::CheckCombination(
      m_ws.CheckCombination, againstStakes, m_includeSystemBox->isChecked(), input);
  emit countsCleared(outcome.stakesTouched, outcome.systemTouched);
  applyOutcome(outcome);
}

void CheckPage::addCombinationToStakes() {
  const auto& cells = m_ws.CheckCombination;
  if (cells[1] == 0) return;
  int empty = 0;
  for (int k = 1; k <= 12; ++k) empty += cells[static_cast<std::size_t>(k)] == 0 ? 1 : 0;
  std::array<int32_t, 12> numbers{};
  std::copy(cells.begin() + 1, cells.end(), numbers.begin());
  const bool added = empty == 6 ? tallyra::AppendRow(tallyra::TableRef::of(m_ws.StakeTable),
                                                     m_ws.StakeCount, std::span(numbers).first(6))
                                : tallyra::AppendRow(tallyra::TableRef::of(m_ws.SystemTable),
                                                     m_ws.SystemCount, numbers);
  if (!added) {
    platform::ShowMessage(owner(), T(TextId::TxtAppTitle),
                          T(empty == 6 ? TextId::TxtStakesFull : TextId::TxtSystemFull));
    return;
  }
  emit listChanged();
}

void CheckPage::collateWithStakesChosen() {
  m_includeSystemBox->setEnabled(true);
}
void CheckPage::collateWithDrawsChosen() {
  m_includeSystemBox->setEnabled(false);
}

void CheckPage::showList(int category) {
  const tallyra::ListPtr& list = m_lists[static_cast<std::size_t>(category)];
  if (!list || list->empty()) return;
  const TextId captions[] = {TextId::TxtCoincidence3, TextId::TxtCoincidence4,
                             TextId::TxtCoincidence5, TextId::TxtCoincidence6};
  m_viewer.showList(list, T(captions[category]), m_saveOptions);
}
