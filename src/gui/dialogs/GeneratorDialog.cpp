#include "dialogs/GeneratorDialog.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <exception>
#include <utility>

#include "dialogs/FilterList.h"
#include "lists/ListEditing.h"
#include "model/Errors.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

using tallyra::AnalysisDraw;
using tallyra::Filter;
using tallyra::Funnel;
using tallyra::GenerateInput;
using tallyra::RangeChoice;
using tallyra::TextId;

namespace {

// The pause after an edit before the funnel is counted again, and how long a count runs
// before its progress bar shows.
constexpr int kPauseMs = 300;
constexpr int kShowBarMs = 400;
constexpr int kBarSteps = 1000;
// A filter file is a few lines; anything far longer is no filter file.
constexpr qint64 kMaxFilterFileBytes = 1 << 20;

enum FunnelColumn { StepFilter, StepArguments, StepLeft, StepAlone, StepDraws, StepColumns };

QString Count(uint64_t n) {
  return QString::number(static_cast<qulonglong>(n));
}

// A share of the draws as a percentage with one decimal: "12.5%".
QString Percent(const tallyra::Exact& share) {
  return QString::number(share.value() * 100, 'f', 1) + QLatin1Char('%');
}

const QString kSizeKey = QStringLiteral("generator/size");

}  // namespace

// A count under way: the worker's input and result live here until it has ended.
struct GeneratorDialog::Run {
  tallyra::WorkControl control;
  GenerateInput input;
  Funnel funnel;
  int edits = 0;
  int serial = 0;
  platform::LongTask task{control};  // last: it stops and joins the worker first
};

GeneratorDialog::GeneratorDialog(QWidget* owner, LanguageSource language,
                                 const tallyra::DataFiles& files, TakeStakes takeStakes,
                                 TakePool takePool)
    : QDialog(owner),
      m_language(std::move(language)),
      m_files(files),
      m_takeStakes(std::move(takeStakes)),
      m_takePool(std::move(takePool)) {
  setObjectName(QStringLiteral("Generator"));
  platform::SetHelpTopic(*this, QStringLiteral("generator.html"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMaximizeButtonHint);
  setModal(false);
  resize(1240, 740);
  const QStringList size = platform::ReadPreference(m_files, kSizeKey).split(QLatin1Char('x'));
  if (size.size() == 2 && size[0].toInt() >= 400 && size[1].toInt() >= 300) {
    resize(size[0].toInt(), size[1].toInt());
  }
  auto named = [](auto* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  auto button = [&](const char* name) {
    auto* b = named(new QPushButton(this), name);
    b->setAutoDefault(false);
    return b;
  };
  auto spin = [&](const char* name, int low, int high, int value) {
    auto* s = named(new QSpinBox(this), name);
    s->setRange(low, high);
    s->setValue(value);
    return s;
  };

  // The draws the history filters read.
  m_rangeLabel = named(new QLabel(this), "RangeLabel");
  m_rangeAll = named(new QRadioButton(this), "RangeAllRadio");
  m_rangeAll->setChecked(true);
  m_rangeLatest = named(new QRadioButton(this), "RangeLatestRadio");
  m_latestSpin = spin("RangeLatestSpin", 1, 999999, 100);
  m_rangeBetween = named(new QRadioButton(this), "RangeBetweenRadio");
  m_fromSpin = spin("RangeFromSpin", 1, 999999, 1);
  m_toLabel = named(new QLabel(this), "RangeToLabel");
  m_toSpin = spin("RangeToSpin", 1, 999999, 1);
  auto* rangeGroup = new QButtonGroup(this);
  for (QRadioButton* radio : {m_rangeAll, m_rangeLatest, m_rangeBetween}) {
    rangeGroup->addButton(radio);
  }
  auto* rangeRow = new QHBoxLayout;
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_rangeLabel, m_rangeAll, m_rangeLatest, m_latestSpin,
                                       m_rangeBetween, m_fromSpin, m_toLabel, m_toSpin}) {
    rangeRow->addWidget(w);
  }
  rangeRow->addStretch();

  // The filters, and where a filter's numbers may come from.
  m_filterList = new FilterList(this, m_language);
  m_numbersLabel = named(new QLabel(this), "NumbersLabel");
  m_systemSpin = spin("SystemRowSpin", 1, tallyra::kStakeCapacity, 1);
  m_systemButton = button("FromSystemButton");
  m_frequentSpin = spin("FrequentSpin", 1, 99, 12);
  m_mostButton = button("MostFrequentButton");
  m_leastButton = button("LeastFrequentButton");
  m_skipSpin = spin("SkipSpin", 0, 999999, 10);
  m_skipButton = button("SkippingButton");
  auto* numbersGrid = new QGridLayout;
  numbersGrid->addWidget(m_numbersLabel, 0, 0, 1, 3);
  numbersGrid->addWidget(m_systemSpin, 1, 0);
  numbersGrid->addWidget(m_systemButton, 1, 1, 1, 2);
  numbersGrid->addWidget(m_frequentSpin, 2, 0);
  numbersGrid->addWidget(m_mostButton, 2, 1);
  numbersGrid->addWidget(m_leastButton, 2, 2);
  numbersGrid->addWidget(m_skipSpin, 3, 0);
  numbersGrid->addWidget(m_skipButton, 3, 1, 1, 2);
  numbersGrid->setColumnStretch(3, 1);
  auto* filtersBox = named(new QGroupBox(this), "FiltersBox");
  auto* filtersColumn = new QVBoxLayout(filtersBox);
  filtersColumn->addWidget(m_filterList, 1);
  filtersColumn->addLayout(numbersGrid);

  // The funnel: the figures, the table and the chart.
  m_summaryLabel = named(new QLabel(this), "FunnelSummary");
  m_summaryLabel->setWordWrap(true);
  m_summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_emptiedLabel = named(new QLabel(this), "EmptiedLabel");
  m_progress = named(new QProgressBar(this), "FunnelProgress");
  m_progress->setRange(0, kBarSteps);
  m_progress->hide();
  m_funnelTable = named(new QTableWidget(0, StepColumns, this), "FunnelTable");
  m_funnelTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_funnelTable->verticalHeader()->hide();
  m_funnelTable->verticalHeader()->setDefaultSectionSize(20);
  // The counts and the share of the draws kept always show whole; a long filter name gives way.
  m_funnelTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_funnelTable->horizontalHeader()->setSectionResizeMode(StepFilter, QHeaderView::Stretch);
  m_funnelTable->setTextElideMode(Qt::ElideRight);
  m_bars = new QBarSet(QString());
  m_series = named(new QBarSeries, "FunnelSeries");
  m_series->append(m_bars);
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->addSeries(m_series);
  m_stepAxis = new QBarCategoryAxis;
  m_countAxis = new QValueAxis;
  m_countAxis->setLabelFormat(QStringLiteral("%g"));
  QFont small = m_countAxis->labelsFont();
  small.setPixelSize(10);
  m_countAxis->setLabelsFont(small);
  m_stepAxis->setLabelsFont(small);
  chart->addAxis(m_stepAxis, Qt::AlignBottom);
  chart->addAxis(m_countAxis, Qt::AlignLeft);
  m_series->attachAxis(m_stepAxis);
  m_series->attachAxis(m_countAxis);
  m_chartView = named(new QChartView(chart, this), "FunnelChart");
  m_chartView->setRenderHint(QPainter::Antialiasing);
  m_chartView->setMinimumHeight(200);
  auto* funnelBox = named(new QGroupBox(this), "FunnelBox");
  auto* funnelColumn = new QVBoxLayout(funnelBox);
  funnelColumn->addWidget(m_summaryLabel);
  funnelColumn->addWidget(m_emptiedLabel);
  m_stopButton = named(new QPushButton(this), "FunnelStop");
  m_stopButton->hide();
  connect(m_stopButton, &QPushButton::clicked, this, [this] {
    if (!m_run) return;
    m_stopped = true;
    m_countAgain = false;
    m_run->control.Cancel();
  });
  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(m_progress, 1);
  progressRow->addWidget(m_stopButton);
  funnelColumn->addLayout(progressRow);
  auto* funnelSplitter = new QSplitter(Qt::Vertical, funnelBox);
  funnelSplitter->addWidget(m_funnelTable);
  funnelSplitter->addWidget(m_chartView);
  funnelColumn->addWidget(funnelSplitter, 1);

  auto* splitter = new QSplitter(this);
  splitter->addWidget(filtersBox);
  splitter->addWidget(funnelBox);
  splitter->setSizes({440, 710});

  // The output.
  m_countLabel = named(new QLabel(this), "CountLabel");
  m_countSpin = spin("CountSpin", 1, tallyra::kStakeCapacity, tallyra::kStakeCapacity);
  m_sampleRadio = named(new QRadioButton(this), "SampleRadio");
  m_sampleRadio->setChecked(true);
  m_seedSpin = spin("SeedSpin", 1, 2147483647, 1);
  m_everyRadio = named(new QRadioButton(this), "EveryRadio");
  m_stakesButton = button("ToStakesButton");
  m_wheelsButton = button("ToWheelsButton");
  m_fileButton = button("ToFileButton");
  m_pickLabel = named(new QLabel(this), "PickLabel");
  m_pickLabel->setWordWrap(true);
  auto* pickGroup = new QButtonGroup(this);
  pickGroup->addButton(m_sampleRadio);
  pickGroup->addButton(m_everyRadio);
  auto* outputBox = named(new QGroupBox(this), "OutputBox");
  auto* outputColumn = new QVBoxLayout(outputBox);
  auto* pickRow = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{m_countLabel, m_countSpin, m_sampleRadio,
                                                    m_seedSpin, m_everyRadio}) {
    pickRow->addWidget(w);
  }
  pickRow->addStretch();
  for (QWidget* w : std::initializer_list<QWidget*>{m_stakesButton, m_wheelsButton, m_fileButton}) {
    pickRow->addWidget(w);
  }
  outputColumn->addLayout(pickRow);
  outputColumn->addWidget(m_pickLabel);

  m_saveButton = button("SaveFiltersButton");
  m_loadButton = button("LoadFiltersButton");
  m_closeButton = button("CloseButton");
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(m_loadButton);
  buttonRow->addWidget(m_saveButton);
  buttonRow->addStretch();
  buttonRow->addWidget(m_closeButton);

  auto* column = new QVBoxLayout(this);
  column->addLayout(rangeRow);
  column->addWidget(splitter, 1);
  column->addWidget(outputBox);
  column->addLayout(buttonRow);

  // An edit counts the funnel again after a short pause; the count under way stops at once.
  m_pause.setSingleShot(true);
  m_pause.setInterval(kPauseMs);
  connect(&m_pause, &QTimer::timeout, this, [this] { Guarded([&] { startCount(); }); });
  m_showBar.setSingleShot(true);
  m_showBar.setInterval(kShowBarMs);
  connect(&m_showBar, &QTimer::timeout, this, [this] {
    if (m_run) {
      m_progress->show();
      m_stopButton->show();
    }
  });
  connect(m_filterList, &FilterList::changed, this, [this] { edited(); });
  for (QRadioButton* radio : {m_rangeAll, m_rangeLatest, m_rangeBetween}) {
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      if (on) edited();
    });
  }
  connect(m_latestSpin, &QSpinBox::valueChanged, this, [this] {
    m_rangeLatest->setChecked(true);
    edited();
  });
  for (QSpinBox* s : {m_fromSpin, m_toSpin}) {
    connect(s, &QSpinBox::valueChanged, this, [this] {
      m_rangeBetween->setChecked(true);
      edited();
    });
  }
  auto guarded = [this](auto handler) { return [this, handler] { Guarded(handler); }; };
  connect(m_systemButton, &QPushButton::clicked, this, guarded([this] { numbersFromSystem(); }));
  connect(m_mostButton, &QPushButton::clicked, this, guarded([this] { numbersFromAnalysis(0); }));
  connect(m_leastButton, &QPushButton::clicked, this, guarded([this] { numbersFromAnalysis(1); }));
  connect(m_skipButton, &QPushButton::clicked, this, guarded([this] { numbersFromAnalysis(2); }));
  connect(m_stakesButton, &QPushButton::clicked, this, guarded([this] { toStakes(); }));
  connect(m_wheelsButton, &QPushButton::clicked, this, guarded([this] { toWheels(); }));
  connect(m_fileButton, &QPushButton::clicked, this, guarded([this] { toFile(); }));
  connect(m_saveButton, &QPushButton::clicked, this, guarded([this] { saveFilters(); }));
  connect(m_loadButton, &QPushButton::clicked, this, guarded([this] { loadFilters(); }));
  connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
  applyTexts();
}

GeneratorDialog::~GeneratorDialog() = default;

QString GeneratorDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void GeneratorDialog::Tell(const QString& text) {
  platform::ShowMessage(this, T(TextId::TxtAppTitle), text);
}

void GeneratorDialog::setInputs(Inputs inputs) {
  // The stakes list changes often and the funnel does not read it.
  const bool same = inputs.highest == m_inputs.highest && inputs.history == m_inputs.history;
  m_inputs = std::move(inputs);
  if (same && m_shownEdits >= 0) return;
  m_filterList->setHighest(m_inputs.highest);
  const int held = std::max(1, static_cast<int>(m_inputs.history.size()));
  for (QSpinBox* s : {m_fromSpin, m_toSpin}) {
    const QSignalBlocker quiet(s);
    s->setMaximum(held);
  }
  {
    const QSignalBlocker quiet(m_toSpin);
    if (!m_rangeBetween->isChecked()) m_toSpin->setValue(held);
  }
  edited();
}

void GeneratorDialog::setFilters(std::vector<Filter> filters) {
  m_filterList->setFilters(std::move(filters));
}

const std::vector<Filter>& GeneratorDialog::filters() const {
  return m_filterList->filters();
}

void GeneratorDialog::setRange(const RangeChoice& choice) {
  {
    const QSignalBlocker a(m_latestSpin), b(m_fromSpin), c(m_toSpin);
    m_latestSpin->setValue(std::max(1, choice.latest));
    m_fromSpin->setValue(std::max(1, choice.from));
    m_toSpin->setValue(std::max(1, choice.to));
  }
  QRadioButton* radio = choice.kind == RangeChoice::Kind::All      ? m_rangeAll
                        : choice.kind == RangeChoice::Kind::Latest ? m_rangeLatest
                                                                   : m_rangeBetween;
  radio->setChecked(true);
  edited();
}

RangeChoice GeneratorDialog::rangeChoice() const {
  RangeChoice choice;
  if (m_rangeLatest->isChecked()) {
    choice.kind = RangeChoice::Kind::Latest;
    choice.latest = m_latestSpin->value();
  } else if (m_rangeBetween->isChecked()) {
    choice.kind = RangeChoice::Kind::Between;
    choice.from = m_fromSpin->value();
    choice.to = m_toSpin->value();
  }
  return choice;
}

std::optional<GenerateInput> GeneratorDialog::input(bool showReason) {
  const int32_t language = m_language();
  auto refuse = [&](int filter, const QString& text) -> std::optional<GenerateInput> {
    if (showReason) {
      m_filterList->showReason(filter, text);
      m_summaryLabel->setText(filter < 0 ? text
                                         : QString::fromStdString(tallyra::Format(
                                               TextId::TxtGenFixFilter, language,
                                               {std::to_string(filter + 1), text.toStdString()})));
      m_emptiedLabel->clear();
    }
    return std::nullopt;
  };
  GenerateInput in;
  in.highest = m_inputs.highest;
  in.history = m_inputs.history;
  in.filters = m_filterList->filters();
  const int held = static_cast<int>(in.history.size());
  in.range = {1, 0};
  if (held > 0) {
    const std::optional<tallyra::DrawRange> range = tallyra::ResolveRange(rangeChoice(), held);
    if (!range) return refuse(-1, T(TextId::TxtGenRangeBad));
    in.range = *range;
  }
  if (const auto typing = m_filterList->typingProblem()) {
    return refuse(typing->filter, QString::fromStdString(typing->reason));
  }
  if (const auto problem = tallyra::CheckFilters(in, language)) {
    return refuse(problem->filter, QString::fromStdString(problem->reason));
  }
  if (showReason) m_filterList->showReason(-1, QString());
  return in;
}

const Funnel* GeneratorDialog::funnel() const {
  return !m_run && m_shownEdits == m_edits ? &m_funnel : nullptr;
}

void GeneratorDialog::edited() {
  ++m_edits;
  m_stopped = false;
  if (m_run) m_run->control.Cancel();
  m_pause.start();
}

void GeneratorDialog::startCount() {
  if (m_run) {
    // The cancelled count ends first; the next starts from its end.
    m_run->control.Cancel();
    m_countAgain = true;
    return;
  }
  std::optional<GenerateInput> in = input();
  if (!in) return;
  m_run = std::make_unique<Run>();
  Run& run = *m_run;
  run.input = std::move(*in);
  run.edits = m_edits;
  run.serial = ++m_runs;
  const int serial = run.serial;
  connect(&run.task, &platform::LongTask::progressed, this,
          [this](qint64 done, qint64 total, qint64) {
            if (total > 0) {
              m_progress->setValue(static_cast<int>(static_cast<double>(std::min(done, total)) /
                                                    static_cast<double>(total) * kBarSteps));
            }
          });
  connect(&run.task, &platform::LongTask::finished, this, [this, serial] {
    // A count stopped for an output may still have its end on the way.
    if (m_run && m_run->serial == serial) Guarded([&] { countEnded(); });
  });
  m_progress->setValue(0);
  m_showBar.start();
  run.task.start([&run](tallyra::WorkControl& control) {
    run.funnel = tallyra::RunFunnel(run.input, &control);
  });
}

void GeneratorDialog::countEnded() {
  m_showBar.stop();
  m_progress->hide();
  m_stopButton->hide();
  const std::unique_ptr<Run> run = std::move(m_run);
  const std::exception_ptr failure = run->task.join();
  const bool again = std::exchange(m_countAgain, false);
  if (!failure && !run->funnel.cancelled && !run->control.Cancelled()) {
    m_funnel = std::move(run->funnel);
    m_funnelInput = std::move(run->input);
    m_shownEdits = run->edits;
    showFunnel();
  }
  if (m_stopped) {
    // Stopped by the user: the funnel shown is that of the filters before the last change.
    m_emptiedLabel->setText(T(TextId::TxtGenStopped));
    return;
  }
  if (again || (m_shownEdits != m_edits && !m_pause.isActive())) startCount();
  if (failure) std::rethrow_exception(failure);
}

void GeneratorDialog::showFunnel() {
  const int32_t language = m_language();
  const Funnel& f = m_funnel;
  const bool draws = m_funnelInput.range.draws() > 0;
  m_funnelTable->setRowCount(static_cast<int>(f.steps.size()));
  QStringList categories{T(TextId::TxtGenChartAll)};
  QList<qreal> values{static_cast<qreal>(f.total)};
  for (int row = 0; row < static_cast<int>(f.steps.size()); ++row) {
    const tallyra::FunnelStep& step = f.steps[static_cast<std::size_t>(row)];
    const Filter& filter = m_funnelInput.filters[static_cast<std::size_t>(step.filter)];
    const QString number = QString::number(step.filter + 1);
    const QString cells[StepColumns] = {
        number + QStringLiteral(". ") + FilterList::KindText(filter.kind, language),
        QString::fromStdString(tallyra::FilterArguments(filter)), Count(step.left),
        Count(step.alone), draws ? Percent(step.drawsKept) : QStringLiteral("-")};
    for (int c = 0; c < StepColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setToolTip(cells[c]);
      if (c >= StepLeft) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      m_funnelTable->setItem(row, c, item);
    }
    categories << number;
    values << static_cast<qreal>(step.left);
  }
  m_bars->remove(0, m_bars->count());
  m_bars->append(values);
  m_stepAxis->clear();
  m_stepAxis->append(categories);
  m_countAxis->setRange(0, std::max<qreal>(1, static_cast<qreal>(f.total)));
  m_countAxis->applyNiceNumbers();

  m_summaryLabel->setText(QString::fromStdString(tallyra::Format(
      TextId::TxtGenSummary, language,
      {std::to_string(m_funnelInput.highest), std::to_string(f.total), std::to_string(f.left),
       std::to_string(m_funnelInput.range.draws()), std::to_string(f.drawsKept.numerator),
       draws ? Percent(f.drawsKept).toStdString() : std::string("-")})));
  if (f.emptiedBy >= 0 && static_cast<std::size_t>(f.emptiedBy) < m_funnelInput.filters.size()) {
    const Filter& filter = m_funnelInput.filters[static_cast<std::size_t>(f.emptiedBy)];
    m_emptiedLabel->setText(QString::fromStdString(
        tallyra::Format(TextId::TxtGenEmptiedBy, language,
                        {std::to_string(f.emptiedBy + 1),
                         FilterList::KindText(filter.kind, language).toStdString()})));
  } else {
    m_emptiedLabel->clear();
  }
  emit funnelShown();
}

const Funnel* GeneratorDialog::currentFunnel() {
  if (const Funnel* shown = funnel(); shown && !m_pause.isActive()) return shown;
  // The output waits for no pause: the background count stops and the funnel is counted now.
  m_pause.stop();
  if (m_run) {
    m_run->control.Cancel();
    m_run->task.join();
    m_run.reset();
    m_countAgain = false;
    m_showBar.stop();
    m_progress->hide();
    m_stopButton->hide();
  }
  std::optional<GenerateInput> in = input();
  if (!in) {
    Tell(m_summaryLabel->text());
    return nullptr;
  }
  Funnel counted;
  tallyra::WorkControl control;
  platform::TaskWindow look;
  look.title = look.text = T(TextId::TxtGenComputing);
  if (!platform::RunLongTask(
          this, look, control,
          [&](tallyra::WorkControl& c) { counted = tallyra::RunFunnel(*in, &c); }) ||
      counted.cancelled) {
    return nullptr;
  }
  m_funnel = std::move(counted);
  m_funnelInput = std::move(*in);
  m_shownEdits = m_edits;
  showFunnel();
  return &m_funnel;
}

std::optional<std::vector<AnalysisDraw>> GeneratorDialog::pick() {
  const Funnel* f = currentFunnel();
  if (!f) return std::nullopt;
  if (f->left == 0) {
    Tell(T(TextId::TxtGenNothingLeft));
    return std::nullopt;
  }
  tallyra::PickChoice choice;
  choice.count = static_cast<uint64_t>(m_countSpin->value());
  choice.seed = static_cast<uint64_t>(m_seedSpin->value());
  if (f->left > choice.count && m_everyRadio->isChecked()) {
    choice.every = (f->left + choice.count - 1) / choice.count;
  }
  std::vector<AnalysisDraw> picked;
  tallyra::WorkControl control;
  platform::TaskWindow look;
  look.title = look.text = T(TextId::TxtGenPicking);
  const GenerateInput& in = m_funnelInput;
  if (!platform::RunLongTask(this, look, control,
                             [&](tallyra::WorkControl& c) {
                               picked = tallyra::PickCombinations(in, *f, choice, &c);
                             }) ||
      picked.empty()) {
    return std::nullopt;
  }
  m_pickWay = f->left <= choice.count ? 0 : choice.every > 0 ? 2 : 1;
  m_pickWritten = picked.size();
  m_pickLeft = f->left;
  m_pickSeed = choice.seed;
  m_pickEvery = choice.every;
  return picked;
}

void GeneratorDialog::showPickNote() {
  const int32_t language = m_language();
  switch (m_pickWay) {
    case 0:
      m_pickLabel->setText(QString::fromStdString(
          tallyra::Format(TextId::TxtGenPickedAll, language, {std::to_string(m_pickWritten)})));
      break;
    case 1:
      m_pickLabel->setText(QString::fromStdString(
          tallyra::Format(TextId::TxtGenPickedSample, language,
                          {std::to_string(m_pickWritten), std::to_string(m_pickLeft),
                           std::to_string(m_pickSeed)})));
      break;
    case 2:
      m_pickLabel->setText(QString::fromStdString(
          tallyra::Format(TextId::TxtGenPickedEvery, language,
                          {std::to_string(m_pickWritten), std::to_string(m_pickLeft),
                           std::to_string(m_pickEvery)})));
      break;
    default:
      m_pickLabel->clear();
  }
}

void GeneratorDialog::toStakes() {
  const std::optional<std::vector<AnalysisDraw>> picked = pick();
  if (!picked) return;
  if (m_takeStakes && m_takeStakes(*picked)) showPickNote();
}

void GeneratorDialog::toWheels() {
  const Funnel* f = currentFunnel();
  if (!f) return;
  if (f->left == 0) {
    Tell(T(TextId::TxtGenNothingLeft));
    return;
  }
  if (m_takePool) m_takePool(f->numbersLeft);
}

void GeneratorDialog::toFile() {
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtGenToFile);
  options.fileName = QStringLiteral("Stavka.txt");
  options.filters = {T(TextId::TxtFilterText), T(TextId::TxtFilterAll)};
  options.defaultSuffix = QStringLiteral("txt");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, options);
  if (!path) return;
  const std::optional<std::vector<AnalysisDraw>> picked = pick();
  if (!picked) return;
  // The stakes file's own writer, over a table of the picked combinations.
  auto table = std::make_unique<tallyra::StakeTableT>();
  int32_t count = 0;
  for (const AnalysisDraw& d : *picked) {
    tallyra::AppendRow(tallyra::TableRef::of(*table), count, std::span<const int32_t>(d));
  }
  const QByteArray bytes = QByteArray::fromStdString(tallyra::FormatStakesFile(*table, count));
  QSaveFile file(*path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, m_language(),
                        {platform::ToLocalPath(*path), file.errorString().toStdString()}));
  }
  showPickNote();
}

void GeneratorDialog::saveFilters() {
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtGenSaveFilters);
  options.fileName = QStringLiteral("filters.tlf");
  options.filters = {T(TextId::TxtGenFilterFiles), T(TextId::TxtFilterAll)};
  options.defaultSuffix = QStringLiteral("tlf");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, options);
  if (!path) return;
  const QByteArray bytes = QByteArray::fromStdString(tallyra::FormatFilterFile(filters()));
  QSaveFile file(*path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, m_language(),
                        {platform::ToLocalPath(*path), file.errorString().toStdString()}));
  }
}

void GeneratorDialog::loadFilters() {
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtGenLoadFilters);
  options.filters = {T(TextId::TxtGenFilterFiles), T(TextId::TxtFilterAll)};
  if (const std::optional<QString> path = platform::GetOpenFileName(this, m_files, options)) {
    loadFiltersFrom(*path);
  }
}

bool GeneratorDialog::loadFiltersFrom(const QString& path) {
  const int32_t language = m_language();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFilterFileBytes) {
    Tell(QString::fromStdString(
        tallyra::Format(TextId::TxtCannotOpen, language,
                        {platform::ToLocalPath(path), file.errorString().toStdString()})));
    return false;
  }
  const tallyra::FilterFile read =
      tallyra::ReadFilterFile(file.readAll().toStdString(), m_inputs.highest, language);
  if (read.badLine > 0) {
    Tell(QString::fromStdString(tallyra::Format(TextId::TxtGenBadLine, language,
                                                {std::to_string(read.badLine), read.reason})));
    return false;
  }
  setFilters(read.filters);
  return true;
}

void GeneratorDialog::takeNumbers(const std::vector<int32_t>& numbers) {
  if (!m_filterList->setNumbersOfCurrent(numbers)) Tell(T(TextId::TxtGenNoNumbersFilter));
}

void GeneratorDialog::numbersFromSystem() {
  const int row = m_systemSpin->value();
  if (row > static_cast<int>(m_inputs.systemStakes.size())) {
    Tell(QString::fromStdString(
        tallyra::Format(TextId::TxtGenNoSystemRow, m_language(), {std::to_string(row)})));
    return;
  }
  takeNumbers(m_inputs.systemStakes[static_cast<std::size_t>(row - 1)]);
}

void GeneratorDialog::numbersFromAnalysis(int kind) {
  const int held = static_cast<int>(m_inputs.history.size());
  const std::optional<tallyra::DrawRange> range =
      held > 0 ? tallyra::ResolveRange(rangeChoice(), held) : std::nullopt;
  if (!range || range->draws() == 0) {
    Tell(T(held > 0 ? TextId::TxtGenRangeBad : TextId::TxtGenNoDraws));
    return;
  }
  tallyra::AnalysisSettings settings;
  settings.highest = m_inputs.highest;
  settings.range = *range;
  const tallyra::Analysis analysis = tallyra::Analyse(m_inputs.history, settings);
  takeNumbers(kind == 2 ? tallyra::SkippingNumbers(analysis, m_skipSpin->value())
                        : tallyra::FrequentNumbers(analysis, m_frequentSpin->value(), kind == 0));
}

void GeneratorDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  platform::WritePreference(m_files, kSizeKey, QStringLiteral("%1x%2").arg(width()).arg(height()));
}

void GeneratorDialog::applyTexts() {
  setWindowTitle(T(TextId::TxtGenCaption));
  m_stopButton->setText(QProgressDialog::tr("Cancel"));
  m_rangeLabel->setText(T(TextId::TxtGenRange));
  m_rangeAll->setText(T(TextId::TxtGenRangeAll));
  m_rangeLatest->setText(T(TextId::TxtGenRangeLatest));
  m_rangeBetween->setText(T(TextId::TxtGenRangeBetween));
  m_toLabel->setText(T(TextId::TxtGenRangeTo));
  m_filterList->applyTexts();
  findChild<QGroupBox*>(QStringLiteral("FiltersBox"))->setTitle(T(TextId::TxtGenFiltersBox));
  findChild<QGroupBox*>(QStringLiteral("FunnelBox"))->setTitle(T(TextId::TxtGenFunnelBox));
  findChild<QGroupBox*>(QStringLiteral("OutputBox"))->setTitle(T(TextId::TxtGenOutputBox));
  m_numbersLabel->setText(T(TextId::TxtGenNumbersFor));
  m_systemButton->setText(T(TextId::TxtGenFromSystem));
  m_mostButton->setText(T(TextId::TxtGenMostFrequent));
  m_leastButton->setText(T(TextId::TxtGenLeastFrequent));
  m_skipButton->setText(T(TextId::TxtGenSkipping));
  m_funnelTable->setHorizontalHeaderLabels({T(TextId::TxtGenColFilter),
                                            T(TextId::TxtGenColArguments), T(TextId::TxtGenColLeft),
                                            T(TextId::TxtGenColAlone), T(TextId::TxtGenColDraws)});
  m_chartView->chart()->setTitle(T(TextId::TxtGenChartTitle));
  m_countLabel->setText(T(TextId::TxtGenCount));
  m_sampleRadio->setText(T(TextId::TxtGenSample));
  m_everyRadio->setText(T(TextId::TxtGenEvery));
  m_stakesButton->setText(T(TextId::TxtGenToStakes));
  m_wheelsButton->setText(T(TextId::TxtGenToWheels));
  m_fileButton->setText(T(TextId::TxtGenToFile));
  m_saveButton->setText(T(TextId::TxtGenSaveFilters));
  m_loadButton->setText(T(TextId::TxtGenLoadFilters));
  m_closeButton->setText(T(TextId::TxtClose));
  showPickNote();
  if (funnel()) {
    showFunnel();
  } else {
    input();
  }
}
