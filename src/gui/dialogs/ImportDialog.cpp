#include "dialogs/ImportDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "import/Games.h"
#include "import/TextDecoding.h"
#include "model/Integer.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

using tallyra::TextId;

namespace {

std::string ColumnList(const std::vector<int>& columns) {
  std::string text;
  for (int c : columns) {
    if (!text.empty()) text += ',';
    text += std::to_string(c);
  }
  return text;
}

// Lines of the file as the user counts them: a last line without a line end counts too.
int CountLines(const std::string& data) {
  const std::string text = tallyra::DecodeText(data).text;
  int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  if (!text.empty() && text.back() != '\n') ++lines;
  return lines;
}

}  // namespace

ImportDialog::ImportDialog(QWidget* owner, LanguageSource language)
    : QDialog(owner), m_language(std::move(language)) {
  setObjectName(QStringLiteral("ImportDialog"));
  platform::SetHelpTopic(*this, QStringLiteral("import.html"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  resize(560, 520);

  auto* layout = new QVBoxLayout(this);
  m_summary = new QLabel(this);
  m_summary->setObjectName(QStringLiteral("ImportSummary"));
  m_summary->setWordWrap(true);
  m_detected = new QLabel(this);
  m_detected->setObjectName(QStringLiteral("ImportDetected"));
  m_detected->setWordWrap(true);
  layout->addWidget(m_summary);
  layout->addWidget(m_detected);

  auto* controls = new QHBoxLayout;
  m_columnsLabel = new QLabel(this);
  m_columnsBox = new QLineEdit(this);
  m_columnsBox->setObjectName(QStringLiteral("ImportColumns"));
  // Room for six two-digit columns whatever the labels beside it take; the frame, the text
  // margins and the cursor need about two characters more.
  m_columnsBox->setMinimumWidth(
      m_columnsBox->fontMetrics().horizontalAdvance(QStringLiteral("10,11,12,13,14,15")) +
      2 * m_columnsBox->fontMetrics().horizontalAdvance(QLatin1Char('0')) + 12);
  m_applyButton = new QPushButton(this);
  m_applyButton->setObjectName(QStringLiteral("ImportApplyColumns"));
  m_applyButton->setAutoDefault(false);
  m_orderLabel = new QLabel(this);
  m_orderBox = new QComboBox(this);
  m_orderBox->setObjectName(QStringLiteral("ImportOrder"));
  m_orderBox->addItem(QString());
  m_orderBox->addItem(QString());
  controls->addWidget(m_columnsLabel);
  controls->addWidget(m_columnsBox, 1);
  controls->addWidget(m_applyButton);
  controls->addSpacing(12);
  controls->addWidget(m_orderLabel);
  controls->addWidget(m_orderBox);
  layout->addLayout(controls);

  // The game: the box lists a plain "6 of M" first, then every known game.
  auto* gameRow = new QHBoxLayout;
  m_gameLabel = new QLabel(this);
  m_gameBox = new QComboBox(this);
  m_gameBox->setObjectName(QStringLiteral("ImportGame"));
  m_gameBox->addItem(QString(), -1);
  for (std::size_t i = 0; i < tallyra::Games().size(); ++i)
    m_gameBox->addItem(QString(), static_cast<int>(i));
  m_setGameButton = new QPushButton(this);
  m_setGameButton->setObjectName(QStringLiteral("ImportSetGame"));
  m_setGameButton->setAutoDefault(false);
  gameRow->addWidget(m_gameLabel);
  gameRow->addWidget(m_gameBox, 1);
  gameRow->addWidget(m_setGameButton);
  layout->addLayout(gameRow);
  m_gameNote = new QLabel(this);
  m_gameNote->setObjectName(QStringLiteral("ImportGameNote"));
  m_gameNote->setWordWrap(true);
  layout->addWidget(m_gameNote);

  m_rowsLabel = new QLabel(this);
  m_rows = new QPlainTextEdit(this);
  m_rows->setObjectName(QStringLiteral("ImportRows"));
  m_skippedLabel = new QLabel(this);
  m_skipped = new QPlainTextEdit(this);
  m_skipped->setObjectName(QStringLiteral("ImportSkipped"));
  for (QPlainTextEdit* box : {m_rows, m_skipped}) {
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFont(QFont(QStringLiteral("Monospace")));
  }
  layout->addWidget(m_rowsLabel);
  layout->addWidget(m_rows, 3);
  layout->addWidget(m_skippedLabel);
  layout->addWidget(m_skipped, 2);
  m_problem = new QLabel(this);
  m_problem->setObjectName(QStringLiteral("ImportProblem"));
  m_problem->setWordWrap(true);
  QPalette red = m_problem->palette();
  red.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
  m_problem->setPalette(red);
  layout->addWidget(m_problem);

  auto* buttons = new QHBoxLayout;
  m_okButton = new QPushButton(this);
  m_okButton->setObjectName(QStringLiteral("ImportOk"));
  m_cancelButton = new QPushButton(this);
  m_cancelButton->setObjectName(QStringLiteral("ImportCancel"));
  m_okButton->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(m_okButton);
  buttons->addWidget(m_cancelButton);
  layout->addLayout(buttons);

  connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_applyButton, &QPushButton::clicked, this,
          [this] { platform::RunHandler(this, [&] { applyColumns(); }); });
  connect(m_columnsBox, &QLineEdit::returnPressed, this,
          [this] { platform::RunHandler(this, [&] { applyColumns(); }); });
  connect(m_orderBox, &QComboBox::currentIndexChanged, this,
          [this](int index) { platform::RunHandler(this, [&] { orderChosen(index); }); });
  connect(m_gameBox, &QComboBox::currentIndexChanged, this, [this] {
    if (!m_updating) platform::RunHandler(this, [&] { gamePicked(); });
  });
  connect(m_setGameButton, &QPushButton::clicked, this,
          [this] { platform::RunHandler(this, [&] { setGame(); }); });
}

QString ImportDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

QString ImportDialog::F(TextId id, std::initializer_list<std::string> args) const {
  return QString::fromUtf8(tallyra::Format(id, m_language(), args));
}

void ImportDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
}

void ImportDialog::applyTexts() {
  setWindowTitle(T(TextId::TxtImportCaption));
  m_columnsLabel->setText(T(TextId::TxtImportColumns));
  m_applyButton->setText(T(TextId::TxtImportApply));
  m_orderLabel->setText(T(TextId::TxtImportOrder));
  m_orderBox->setItemText(0, T(TextId::TxtImportOldestFirst));
  m_orderBox->setItemText(1, T(TextId::TxtImportNewestFirst));
  m_rowsLabel->setText(T(TextId::TxtImportRowsTitle));
  m_skippedLabel->setText(T(TextId::TxtImportSkippedTitle));
  m_gameLabel->setText(T(TextId::TxtImportGame));
  for (int i = 1; i < m_gameBox->count(); ++i) {
    const tallyra::Game& game = tallyra::Games()[static_cast<std::size_t>(i - 1)];
    m_gameBox->setItemText(i,
                           QString::fromUtf8(tallyra::GameName(&game, game.highest, m_language())));
  }
  m_okButton->setText(QStringLiteral("OK"));
  m_cancelButton->setText(QProgressDialog::tr("Cancel"));
}

std::optional<tallyra::ImportResult> ImportDialog::preview(std::string data,
                                                           tallyra::ImportKind kind,
                                                           int32_t highestNumber,
                                                           const QString& name, GameChoice game) {
  m_data = std::move(data);
  m_name = name;
  m_game = std::move(game);
  m_gamePicked = false;
  m_options = {};
  m_options.kind = kind;
  m_options.highestNumber = highestNumber;
  m_options.gameHighest = highestNumber;
  m_linesRead = CountLines(m_data);
  applyTexts();
  // A first read the user cancels ends the import before anything is shown.
  if (!reread()) {
    m_data.clear();
    return std::nullopt;
  }
  platform::ExecModal(*this);
  std::optional<tallyra::ImportResult> chosen;
  if (result() == QDialog::Accepted && m_result.ok()) chosen = std::move(m_result);
  m_data.clear();
  m_result = {};
  return chosen;
}

bool ImportDialog::reread() {
  // A file at the import limit takes a second or so to read.
  tallyra::ImportResult read;
  const bool finished =
      platform::RunLongTask(isVisible() ? this : parentWidget(), T(TextId::TxtImportCaption),
                            [&](tallyra::WorkControl& work) {
                              tallyra::ImportOptions options = m_options;
                              options.cancel = &work.CancelFlag();
                              read = tallyra::ImportList(m_data, options);
                            });
  if (!finished || read.problem == tallyra::ImportProblem::Cancelled) return false;
  m_result = std::move(read);
  showResult();
  return true;
}

void ImportDialog::rereadOrKeep(const tallyra::ImportOptions& before) {
  if (reread()) return;
  m_options = before;
  showResult();
}

void ImportDialog::showResult() {
  const tallyra::ImportResult& r = m_result;
  const int32_t language = m_language();

  m_summary->setText(
      F(TextId::TxtImportSummary, {m_name.toStdString(), std::to_string(m_linesRead),
                                   std::to_string(r.rows.size()), std::to_string(r.skippedTotal)}));

  QString detected;
  switch (r.shape) {
    case tallyra::ImportShape::RecordLines:
      detected = T(TextId::TxtImportShapeRecords);
      break;
    case tallyra::ImportShape::Separated: {
      const std::string separator = r.separator == '\t'
                                        ? tallyra::Text(TextId::TxtImportTab, language)
                                        : std::string(1, r.separator);
      detected = F(TextId::TxtImportShapeSeparated, {separator, ColumnList(r.columns)});
      break;
    }
    case tallyra::ImportShape::Free:
      detected = F(TextId::TxtImportShapeFree, {ColumnList(r.columns)});
      break;
  }
  if (m_options.kind == tallyra::ImportKind::Results && r.ok()) {
    QString basis;
    switch (r.orderBasis) {
      case tallyra::OrderBasis::Dates:
        basis = F(TextId::TxtImportBasisDates, {std::to_string(r.dateColumn)});
        break;
      case tallyra::OrderBasis::DrawNumbers:
        basis = F(TextId::TxtImportBasisNumbers, {std::to_string(r.drawNumberColumn)});
        break;
      case tallyra::OrderBasis::Assumed:
        basis = T(TextId::TxtImportBasisAssumed);
        break;
      case tallyra::OrderBasis::Chosen:
        basis = T(TextId::TxtImportBasisChosen);
        break;
    }
    detected += u' ' + basis;
  }
  m_detected->setText(detected);

  // The boxes follow what was read, unless the user is typing columns that failed.
  if (r.problem != tallyra::ImportProblem::BadColumns) {
    m_columnsBox->setText(QString::fromStdString(ColumnList(r.columns)));
  }
  m_updating = true;
  m_orderBox->setCurrentIndex(r.order == tallyra::HistoryOrder::NewestFirst ? 1 : 0);
  m_updating = false;
  // Stakes have no order worth choosing: they are kept as the file lists them.
  m_orderBox->setEnabled(m_options.kind == tallyra::ImportKind::Results);

  // The rows as the list's own writer makes them, oldest first.
  const std::string stored = tallyra::FormatImported(r, m_options.kind);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < stored.size();) {
    std::size_t end = stored.find('\n', start);
    if (end == std::string::npos) end = stored.size();
    std::string line = stored.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  QString shown;
  const std::size_t n = lines.size();
  const std::size_t shownRows = kShownRows;
  for (std::size_t i = 0; i < n; ++i) {
    if (n > 2 * shownRows && i == shownRows) {
      shown += QStringLiteral("...\n");
      i = n - shownRows;
    }
    shown += QString::fromStdString(lines[i]) + u'\n';
  }
  m_rows->setPlainText(shown);

  // A history out of order of its dates is named first: it is read, but may be stored wrong.
  QString skipped;
  if (r.outOfOrder) {
    skipped += QString::fromUtf8(tallyra::DescribeSkip(*r.outOfOrder, m_options, language)) + u'\n';
  }
  for (const tallyra::SkippedLine& skip : r.skipped) {
    skipped += QString::fromUtf8(tallyra::DescribeSkip(skip, m_options, language)) + u'\n';
  }
  if (r.skippedTotal > static_cast<int>(r.skipped.size())) skipped += QStringLiteral("...\n");
  m_skipped->setPlainText(skipped);

  m_problem->setText(QString::fromUtf8(tallyra::DescribeImport(r, m_options, language)));
  m_okButton->setEnabled(r.ok());
  // Stakes are played under any game: only a history tells which one it is.
  const bool results = m_options.kind == tallyra::ImportKind::Results;
  m_gameLabel->setVisible(results);
  m_gameBox->setVisible(results);
  if (results) {
    showGame();
  } else {
    m_gameNote->hide();
    m_setGameButton->hide();
  }
}

void ImportDialog::showGame() {
  const tallyra::ImportResult& r = m_result;
  const int32_t held = m_options.highestNumber;
  const int32_t language = m_language();
  // The plain entry covers every number read, so it is never below them.
  const int32_t plain = std::max(held, r.highestSeen);
  m_gameBox->setItemText(0, QString::fromUtf8(tallyra::GameName(nullptr, plain, language)));
  if (!m_gamePicked) {
    const tallyra::Game* game = tallyra::ProposeGame(r.highestSeen, r.headingFields);
    // Unless the heading names a game, the program's own stays while the numbers fit it: many
    // games share an M, and the largest number alone cannot tell them apart.
    const bool named = game && game != tallyra::ProposeGame(r.highestSeen, {});
    const tallyra::Game* own = tallyra::GameForHighest(held, m_game.id);
    if (!named && own && (!game || game->highest == own->highest)) game = own;
    if (game && game->highest < r.highestSeen) game = nullptr;
    int index = 0;
    if (game) index = static_cast<int>(game - tallyra::Games().data()) + 1;
    m_updating = true;
    m_gameBox->setCurrentIndex(index);
    m_updating = false;
  }
  const int32_t picked = pickedHighest();
  QString note;
  if (r.highestSeen > held) {
    note = F(TextId::TxtImportGameRunsUpTo, {std::to_string(r.highestSeen), std::to_string(held)});
  } else if (picked != held) {
    note = F(TextId::TxtImportGameDiffers, {m_gameBox->currentText().toStdString(),
                                            std::to_string(picked), std::to_string(held)});
  }
  m_gameNote->setText(note);
  m_gameNote->setVisible(!note.isEmpty());
  m_setGameButton->setText(F(TextId::TxtImportSetGame, {std::to_string(picked)}));
  m_setGameButton->setVisible(static_cast<bool>(m_game.set) && picked != held);
}

int32_t ImportDialog::pickedHighest() const {
  const int game = m_gameBox->currentData().toInt();
  if (game < 0) return std::max(m_options.highestNumber, m_result.highestSeen);
  return tallyra::Games()[static_cast<std::size_t>(game)].highest;
}

void ImportDialog::gamePicked() {
  m_gamePicked = true;
  showGame();
}

void ImportDialog::setGame() {
  const int32_t highest = pickedHighest();
  const int game = m_gameBox->currentData().toInt();
  const std::string id =
      game < 0 ? std::string() : std::string(tallyra::Games()[static_cast<std::size_t>(game)].id);
  m_game.set(highest, id);
  m_game.id = id;
  // The program plays this game now: the file is read for it, and the choice stays.
  m_gamePicked = true;
  const tallyra::ImportOptions before = m_options;
  m_options.highestNumber = highest;
  m_options.gameHighest = highest;
  if (!reread()) {
    m_options = before;
    m_options.highestNumber = highest;
    m_options.gameHighest = highest;
    showResult();
  }
}

void ImportDialog::applyColumns() {
  const QString text = m_columnsBox->text().trimmed();
  std::vector<int> columns;
  if (!text.isEmpty()) {
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
      const std::optional<int32_t> value = tallyra::ParseDecimal(part.trimmed().toStdString());
      // Anything that is no column number leaves the columns for the importer to refuse.
      columns.push_back(value ? *value : 0);
    }
  }
  const tallyra::ImportOptions before = m_options;
  m_options.columns = columns;
  rereadOrKeep(before);
}

void ImportDialog::orderChosen(int index) {
  if (m_updating) return;
  const tallyra::ImportOptions before = m_options;
  m_options.order =
      index == 1 ? tallyra::HistoryOrder::NewestFirst : tallyra::HistoryOrder::OldestFirst;
  rereadOrKeep(before);
}
