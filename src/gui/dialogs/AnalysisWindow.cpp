#include "dialogs/AnalysisWindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <memory>

#include "model/Errors.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"
#include "stats/Analysis.h"

using tallyra::TextId;

namespace {

const QString kSizeKey = QStringLiteral("analysis/size");
constexpr int kListLength = 20;  // the pairs and triples seen most and least often

AnalysisCell Whole(int64_t value) {
  return {QString::number(value), static_cast<double>(value)};
}
AnalysisCell Decimal(const tallyra::Exact& value) {
  return {QString::fromStdString(tallyra::DecimalText(value, 2)), value.value()};
}
QString NumbersText(const std::vector<int32_t>& numbers) {
  QStringList parts;
  for (const int32_t n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

}  // namespace

AnalysisWindow::AnalysisWindow(QWidget* owner, int32_t language, const tallyra::DataFiles& files)
    : QWidget(owner, Qt::Window),
      m_language(language),
      m_files(files),
      m_analysis(std::make_unique<tallyra::Analysis>()) {
  setObjectName(QStringLiteral("AnalysisWindow"));
  platform::SetHelpTopic(*this, QStringLiteral("statistics.html"));
  const QStringList size =
      platform::ReadPreference(m_files, kSizeKey).split(QLatin1Char('x'), Qt::SkipEmptyParts);
  const int width = size.value(0).toInt(), height = size.value(1).toInt();
  resize(width >= 400 && width <= 10000 ? width : 1000,
         height >= 300 && height <= 10000 ? height : 700);

  buildRange();
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("AnalysisTabs"));
  m_tabs->addTab(buildNumbersTab(), QString());
  m_tabs->addTab(buildSkipsTab(), QString());
  m_tabs->addTab(buildPairsTab(), QString());
  m_tabs->addTab(buildPatternsTab(), QString());
  auto* column = new QVBoxLayout(this);
  column->addWidget(m_rangeBox);
  column->addWidget(m_tabs, 1);
  applyTexts();
}

AnalysisWindow::~AnalysisWindow() {
  if (isVisible()) rememberSize();
}

QString AnalysisWindow::T(TextId id) const {
  return platform::Tr(id, m_language);
}

void AnalysisWindow::buildRange() {
  m_rangeBox = new QGroupBox(this);
  m_rangeBox->setObjectName(QStringLiteral("AnalysisRange"));
  auto make = [](auto* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  m_allRadio = make(new QRadioButton(m_rangeBox), "AnalysisAll");
  m_allRadio->setChecked(true);
  m_latestRadio = make(new QRadioButton(m_rangeBox), "AnalysisLatest");
  m_latestSpin = make(new QSpinBox(m_rangeBox), "AnalysisLatestCount");
  m_latestSpin->setRange(1, tallyra::kResultCapacity);
  m_latestSpin->setValue(100);
  m_betweenRadio = make(new QRadioButton(m_rangeBox), "AnalysisBetween");
  m_fromSpin = make(new QSpinBox(m_rangeBox), "AnalysisFrom");
  m_toLabel = new QLabel(m_rangeBox);
  m_toSpin = make(new QSpinBox(m_rangeBox), "AnalysisTo");
  for (QSpinBox* spin : {m_fromSpin, m_toSpin}) spin->setRange(1, 1);
  m_lowLabel = new QLabel(m_rangeBox);
  m_lowSpin = make(new QSpinBox(m_rangeBox), "AnalysisLow");
  m_lowSpin->setRange(1, 98);
  m_depthLabel = new QLabel(m_rangeBox);
  m_depthSpin = make(new QSpinBox(m_rangeBox), "AnalysisDepth");
  m_depthSpin->setRange(1, 50);
  m_depthSpin->setValue(3);
  m_rangeLabel = make(new QLabel(m_rangeBox), "AnalysisRangeText");

  // The draws on the first line with the range they make, the settings on the second.
  auto* row = new QHBoxLayout;
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_allRadio, m_latestRadio, m_latestSpin, m_betweenRadio,
                                       m_fromSpin, m_toLabel, m_toSpin}) {
    row->addWidget(w);
  }
  row->addSpacing(16);
  row->addWidget(m_rangeLabel, 1);
  auto* settings = new QHBoxLayout;
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_lowLabel, m_lowSpin, m_depthLabel, m_depthSpin}) {
    settings->addWidget(w);
  }
  settings->addStretch();
  auto* lines = new QVBoxLayout(m_rangeBox);
  lines->addLayout(row);
  lines->addLayout(settings);

  auto changed = [this] { platform::RunHandler(this, [this] { recompute(); }); };
  for (QRadioButton* radio : {m_allRadio, m_latestRadio, m_betweenRadio}) {
    connect(radio, &QRadioButton::toggled, this, [changed](bool on) {
      if (on) changed();
    });
  }
  // A number typed beside a choice picks that choice.
  connect(m_latestSpin, &QSpinBox::valueChanged, this, [this, changed] {
    if (m_latestRadio->isChecked()) changed();
    m_latestRadio->setChecked(true);
  });
  for (QSpinBox* spin : {m_fromSpin, m_toSpin}) {
    connect(spin, &QSpinBox::valueChanged, this, [this, changed] {
      if (m_betweenRadio->isChecked()) changed();
      m_betweenRadio->setChecked(true);
    });
  }
  for (QSpinBox* spin : {m_lowSpin, m_depthSpin}) {
    connect(spin, &QSpinBox::valueChanged, this, changed);
  }
}

QTableView* AnalysisWindow::addTable(QWidget* parent, const char* name, AnalysisTableModel*& model,
                                     bool sortable) {
  model = new AnalysisTableModel(this);
  auto* proxy = new QSortFilterProxyModel(this);
  proxy->setSourceModel(model);
  proxy->setSortRole(Qt::UserRole);
  auto* view = new QTableView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setModel(proxy);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(20);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Rows come in the analysis' order until a header is clicked.
  view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  view->setSortingEnabled(sortable);
  // Every column as wide as its header and its cells, in either language: measured when the
  // headers change and when rows first come, not at every new range, which would cost a pause
  // with 1 500 draws. The first rows measured stand for the rest.
  view->verticalHeader()->setResizeContentsPrecision(100);
  auto fitted = std::make_shared<bool>(false);
  connect(model, &QAbstractItemModel::modelReset, view, [view, model, fitted] {
    if (model->rowCount() == 0 || *fitted) return;
    view->resizeColumnsToContents();
    *fitted = true;
  });
  connect(model, &QAbstractItemModel::headerDataChanged, view,
          [view] { view->resizeColumnsToContents(); });
  return view;
}

QPushButton* AnalysisWindow::addButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QWidget* AnalysisWindow::buildNumbersTab() {
  auto* tab = new QWidget;
  m_numbersView = addTable(tab, "AnalysisNumbers", m_numbersModel, true);
  m_uniformityLabel = new QLabel(tab);
  m_uniformityLabel->setObjectName(QStringLiteral("AnalysisUniformity"));
  m_uniformityLabel->setWordWrap(true);
  m_uniformityLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_numbersExport = addButton(tab, "AnalysisNumbersExport");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_numbersExport);
  auto* column = new QVBoxLayout(tab);
  column->addWidget(m_numbersView, 1);
  column->addWidget(m_uniformityLabel);
  column->addLayout(buttons);
  connect(m_numbersExport, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this, [this] {
      exportTable(m_numbersView,
                  QStringLiteral("number;hits;expected;skip;average_skip;"
                                 "longest_skip"),
                  fileStem(QStringLiteral("numbers")));
    });
  });
  return tab;
}

QWidget* AnalysisWindow::buildSkipsTab() {
  auto* tab = new QWidget;
  m_skipChart = new AnalysisSkipChart(tab);
  m_skipChart->setObjectName(QStringLiteral("AnalysisSkips"));
  m_skipsPng = addButton(tab, "AnalysisSkipsPng");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_skipsPng);
  auto* column = new QVBoxLayout(tab);
  column->addWidget(m_skipChart, 1);
  column->addLayout(buttons);
  connect(m_skipsPng, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this,
                         [this] { savePicture(m_skipChart, fileStem(QStringLiteral("skips"))); });
  });
  return tab;
}

QWidget* AnalysisWindow::buildPairsTab() {
  auto* tab = new QWidget;
  auto* lists = new QWidget(tab);
  m_pairList = new QComboBox(lists);
  m_pairList->setObjectName(QStringLiteral("AnalysisPairList"));
  for (int i = 0; i < 4; ++i) m_pairList->addItem(QString());
  m_pairsView = addTable(lists, "AnalysisPairs", m_pairsModel, true);
  m_pairsExport = addButton(lists, "AnalysisPairsExport");
  auto* listColumn = new QVBoxLayout(lists);
  listColumn->setContentsMargins(0, 0, 0, 0);
  listColumn->addWidget(m_pairList);
  listColumn->addWidget(m_pairsView, 1);
  listColumn->addWidget(m_pairsExport, 0, Qt::AlignRight);

  auto* companions = new QWidget(tab);
  m_companionLabel = new QLabel(companions);
  m_companionSpin = new QSpinBox(companions);
  m_companionSpin->setObjectName(QStringLiteral("AnalysisCompanion"));
  m_companionSpin->setRange(1, 49);
  m_companionsView = addTable(companions, "AnalysisCompanions", m_companionsModel, true);
  m_companionsExport = addButton(companions, "AnalysisCompanionsExport");
  auto* choice = new QHBoxLayout;
  choice->addWidget(m_companionLabel);
  choice->addWidget(m_companionSpin);
  choice->addStretch();
  auto* companionColumn = new QVBoxLayout(companions);
  companionColumn->setContentsMargins(0, 0, 0, 0);
  companionColumn->addLayout(choice);
  companionColumn->addWidget(m_companionsView, 1);
  companionColumn->addWidget(m_companionsExport, 0, Qt::AlignRight);

  auto* map = new QWidget(tab);
  m_heatMap = new AnalysisHeatMap(map);
  m_heatMap->setObjectName(QStringLiteral("AnalysisHeatMap"));
  m_heatMapPng = addButton(map, "AnalysisHeatMapPng");
  auto* mapColumn = new QVBoxLayout(map);
  mapColumn->setContentsMargins(0, 0, 0, 0);
  mapColumn->addWidget(m_heatMap, 1);
  mapColumn->addWidget(m_heatMapPng, 0, Qt::AlignRight);

  auto* splitter = new QSplitter(tab);
  splitter->addWidget(lists);
  splitter->addWidget(companions);
  splitter->addWidget(map);
  splitter->setStretchFactor(2, 1);
  splitter->setSizes({320, 360, 600});
  auto* column = new QVBoxLayout(tab);
  column->addWidget(splitter);

  connect(m_pairList, &QComboBox::currentIndexChanged, this,
          [this] { platform::RunHandler(this, [this] { showPairs(); }); });
  connect(m_companionSpin, &QSpinBox::valueChanged, this,
          [this] { platform::RunHandler(this, [this] { showCompanions(); }); });
  connect(m_pairsExport, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this, [this] {
      exportTable(m_pairsView, QStringLiteral("numbers;count;expected"),
                  fileStem(m_pairList->currentIndex() < 2 ? QStringLiteral("pairs")
                                                          : QStringLiteral("triples")));
    });
  });
  connect(m_companionsExport, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this, [this] {
      exportTable(m_companionsView, QStringLiteral("number;with;count;expected"),
                  fileStem(QStringLiteral("companions-%1").arg(m_companionSpin->value())));
    });
  });
  connect(m_heatMapPng, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this,
                         [this] { savePicture(m_heatMap, fileStem(QStringLiteral("pairs"))); });
  });
  return tab;
}

QWidget* AnalysisWindow::buildPatternsTab() {
  auto* tab = new QWidget;
  m_patternChoice = new QComboBox(tab);
  m_patternChoice->setObjectName(QStringLiteral("AnalysisDistribution"));
  for (int i = 0; i <= static_cast<int>(Pattern::Within); ++i) m_patternChoice->addItem(QString());

  // What was seen as bars, what a fair draw gives as a line over them.
  m_seenSet = new QBarSet(QString());
  m_seenSet->setColor(QColor(0x00, 0x80, 0x80));
  auto* bars = new QBarSeries;
  bars->append(m_seenSet);
  bars->setBarWidth(0.8);
  m_expectedLine = new QLineSeries;
  m_expectedLine->setColor(QColor(0xE0, 0x60, 0x00));
  auto* chart = new QChart;
  chart->addSeries(bars);
  chart->addSeries(m_expectedLine);
  m_valueAxis = new QCategoryAxis;
  m_valueAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  m_countAxis = new QValueAxis;
  m_countAxis->setLabelFormat(QStringLiteral("%g"));
  chart->addAxis(m_valueAxis, Qt::AlignBottom);
  chart->addAxis(m_countAxis, Qt::AlignLeft);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{bars, m_expectedLine}) {
    series->attachAxis(m_valueAxis);
    series->attachAxis(m_countAxis);
  }
  chart->legend()->setAlignment(Qt::AlignBottom);
  m_patternChart = new QChartView(chart, tab);
  m_patternChart->setObjectName(QStringLiteral("AnalysisPatternChart"));
  m_patternChart->setRenderHint(QPainter::Antialiasing);
  m_patternChart->setMinimumSize(300, 240);
  m_patternPng = addButton(tab, "AnalysisPatternPng");
  m_patternView = addTable(tab, "AnalysisPatternTable", m_patternModel, true);
  m_patternExport = addButton(tab, "AnalysisPatternExport");

  m_shapesLabel = new QLabel(tab);
  m_shapesView = addTable(tab, "AnalysisShapes", m_shapesModel, true);
  m_shapesExport = addButton(tab, "AnalysisShapesExport");

  auto* chartSide = new QWidget(tab);
  auto* chartColumn = new QVBoxLayout(chartSide);
  chartColumn->setContentsMargins(0, 0, 0, 0);
  chartColumn->addWidget(m_patternChoice);
  chartColumn->addWidget(m_patternChart, 1);
  chartColumn->addWidget(m_patternPng, 0, Qt::AlignRight);
  auto* tableSide = new QWidget(tab);
  auto* tableColumn = new QVBoxLayout(tableSide);
  tableColumn->setContentsMargins(0, 0, 0, 0);
  tableColumn->addWidget(m_patternView, 1);
  tableColumn->addWidget(m_patternExport, 0, Qt::AlignRight);
  auto* top = new QSplitter(tab);
  top->addWidget(chartSide);
  top->addWidget(tableSide);
  top->setStretchFactor(0, 3);
  top->setStretchFactor(1, 1);
  top->setSizes({800, 340});
  auto* shapes = new QWidget(tab);
  auto* shapesColumn = new QVBoxLayout(shapes);
  shapesColumn->setContentsMargins(0, 0, 0, 0);
  shapesColumn->addWidget(m_shapesLabel);
  shapesColumn->addWidget(m_shapesView, 1);
  shapesColumn->addWidget(m_shapesExport, 0, Qt::AlignRight);
  auto* split = new QSplitter(Qt::Vertical, tab);
  split->addWidget(top);
  split->addWidget(shapes);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  auto* column = new QVBoxLayout(tab);
  column->addWidget(split);

  connect(m_patternChoice, &QComboBox::currentIndexChanged, this,
          [this] { platform::RunHandler(this, [this] { showPattern(); }); });
  connect(m_patternPng, &QPushButton::clicked, this, [this] {
    platform::RunHandler(
        this, [this] { savePicture(m_patternChart, fileStem(QStringLiteral("patterns"))); });
  });
  connect(m_patternExport, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this, [this] {
      exportTable(m_patternView, QStringLiteral("value;seen;expected"),
                  fileStem(QStringLiteral("patterns")));
    });
  });
  connect(m_shapesExport, &QPushButton::clicked, this, [this] {
    platform::RunHandler(this, [this] {
      exportTable(m_shapesView,
                  QStringLiteral("draw;numbers;odd;low;sum;spread;consecutive;repeats;"
                                 "repeats_within"),
                  fileStem(QStringLiteral("shapes")));
    });
  });
  return tab;
}

void AnalysisWindow::setHistory(std::vector<std::array<int32_t, 6>> history, int32_t highest) {
  // The same draws and M again (the window opened once more) keep the analysis as it is.
  if (m_given && history == m_history && highest == m_givenHighest) return;
  m_given = true;
  m_givenHighest = highest;
  m_history = std::move(history);
  // A number above M (the game was changed after the draws were read) widens the analysis to
  // it, within the largest M of any game.
  int32_t top = std::max<int32_t>(highest, 6);
  for (const tallyra::AnalysisDraw& draw : m_history) {
    for (const int32_t n : draw) top = std::max(top, n);
  }
  const bool newGame = top != m_highest || m_analysis->numbers.empty();
  m_highest = std::min<int32_t>(top, 99);
  const int held = std::max(1, static_cast<int>(m_history.size()));
  {
    const QSignalBlocker quietFrom(m_fromSpin), quietTo(m_toSpin), quietLow(m_lowSpin),
        quietCompanion(m_companionSpin);
    const bool wasWhole = m_toSpin->value() == m_toSpin->maximum();
    m_fromSpin->setRange(1, held);
    m_toSpin->setRange(1, held);
    if (wasWhole) m_toSpin->setValue(held);
    m_lowSpin->setRange(1, m_highest - 1);
    m_companionSpin->setRange(1, m_highest);
    if (newGame) m_lowSpin->setValue(m_highest / 2);
  }
  recompute();
}

void AnalysisWindow::recompute() {
  tallyra::RangeChoice choice;
  if (m_latestRadio->isChecked()) {
    choice.kind = tallyra::RangeChoice::Kind::Latest;
    choice.latest = m_latestSpin->value();
  } else if (m_betweenRadio->isChecked()) {
    choice.kind = tallyra::RangeChoice::Kind::Between;
    choice.from = m_fromSpin->value();
    choice.to = m_toSpin->value();
  }
  const auto held = static_cast<int>(m_history.size());
  const std::optional<tallyra::DrawRange> range = ResolveRange(choice, held);
  *m_analysis = {};
  if (range) {
    tallyra::AnalysisSettings settings;
    settings.highest = m_highest;
    settings.range = *range;
    settings.lowBoundary = m_lowSpin->value();
    settings.repeatDepth = m_depthSpin->value();
    *m_analysis = tallyra::Analyse(m_history, settings);
  }
  showAnalysis();
}

void AnalysisWindow::showAnalysis() {
  const tallyra::Analysis& a = *m_analysis;
  std::vector<AnalysisTableModel::Row> rows;
  if (a.draws > 0) {
    for (const tallyra::NumberFigures& f : a.numbers) {
      AnalysisCell average = Decimal(f.averageSkip);
      // A number that never came has no skip ended by a hit to average.
      if (f.hits == 0) average = {QString(), -1};
      rows.push_back({Whole(f.number), Whole(f.hits), Decimal(a.expectedHits), Whole(f.skip),
                      average, Whole(f.longestSkip)});
    }
  }
  m_numbersModel->setRows(std::move(rows));

  std::vector<AnalysisTableModel::Row> shapes;
  if (a.draws > 0) {
    for (std::size_t i = 0; i < a.shapes.size(); ++i) {
      const int position = a.settings.range.first + static_cast<int>(i);
      const tallyra::AnalysisDraw& draw = m_history[static_cast<std::size_t>(position - 1)];
      std::vector<int32_t> numbers(draw.begin(), draw.end());
      std::sort(numbers.begin(), numbers.end());
      const tallyra::DrawShape& s = a.shapes[i];
      auto maybe = [](int value) {
        return value < 0 ? AnalysisCell{QString(), -1.0} : Whole(value);
      };
      shapes.push_back({Whole(position),
                        {NumbersText(numbers), static_cast<double>(position)},
                        Whole(s.odd),
                        Whole(s.low),
                        Whole(s.sum),
                        Whole(s.spread),
                        Whole(s.consecutive),
                        maybe(s.repeats),
                        maybe(s.repeatsWithin)});
    }
  }
  m_shapesModel->setRows(std::move(shapes));

  m_skipChart->setAnalysis(m_analysis.get());
  m_heatMap->setAnalysis(m_analysis.get());
  for (QPushButton* b : {m_numbersExport, m_skipsPng, m_pairsExport, m_companionsExport,
                         m_heatMapPng, m_patternPng, m_patternExport, m_shapesExport}) {
    b->setEnabled(a.draws > 0);
  }
  showPairs();
  showCompanions();
  showPattern();
  applyTexts();
}

void AnalysisWindow::showPairs() {
  std::vector<AnalysisTableModel::Row> rows;
  if (m_analysis->draws > 0) {
    const int list = m_pairList->currentIndex();
    const bool most = list % 2 == 0;
    const bool pairs = list < 2;
    const tallyra::Exact expected = pairs ? m_analysis->expectedPair : m_analysis->expectedTriple;
    for (const tallyra::Together& t : pairs ? m_analysis->topPairs(kListLength, most)
                                            : m_analysis->topTriples(kListLength, most)) {
      rows.push_back({{NumbersText(t.numbers), static_cast<double>(rows.size())},
                      Whole(t.count),
                      Decimal(expected)});
    }
  }
  m_pairsModel->setRows(std::move(rows));
}

void AnalysisWindow::showCompanions() {
  std::vector<AnalysisTableModel::Row> rows;
  if (m_analysis->draws > 0) {
    const int32_t number = m_companionSpin->value();
    for (const tallyra::Together& t : m_analysis->companions(number)) {
      const int32_t other = t.numbers[0] == number ? t.numbers[1] : t.numbers[0];
      rows.push_back(
          {Whole(number), Whole(other), Whole(t.count), Decimal(m_analysis->expectedPair)});
    }
  }
  m_companionsModel->setRows(std::move(rows));
}

const tallyra::Distribution& AnalysisWindow::distribution(Pattern pattern) const {
  const tallyra::Analysis& a = *m_analysis;
  switch (pattern) {
    case Pattern::Odd:
      return a.odd;
    case Pattern::Low:
      return a.low;
    case Pattern::Sum:
      return a.sum;
    case Pattern::Spread:
      return a.spread;
    case Pattern::Consecutive:
      return a.consecutive;
    case Pattern::Decades:
      return a.decades;
    case Pattern::LastDigits:
      return a.lastDigits;
    case Pattern::Repeats:
      return a.repeats;
    default:
      return a.repeatsWithin;
  }
}

QString AnalysisWindow::patternName(Pattern pattern) const {
  switch (pattern) {
    case Pattern::Odd:
      return T(TextId::TxtAnalysisDistOdd);
    case Pattern::Low:
      return T(TextId::TxtAnalysisDistLow);
    case Pattern::Sum:
      return T(TextId::TxtAnalysisDistSum);
    case Pattern::Spread:
      return T(TextId::TxtAnalysisDistSpread);
    case Pattern::Consecutive:
      return T(TextId::TxtAnalysisDistConsecutive);
    case Pattern::Decades:
      return T(TextId::TxtAnalysisDistDecades);
    case Pattern::LastDigits:
      return T(TextId::TxtAnalysisDistLastDigits);
    case Pattern::Repeats:
      return T(TextId::TxtAnalysisDistRepeats);
    default:
      return QString::fromStdString(tallyra::Format(TextId::TxtAnalysisDistRepeatsWithin,
                                                    m_language,
                                                    {std::to_string(m_depthSpin->value())}));
  }
}

void AnalysisWindow::showPattern() {
  const auto pattern = static_cast<Pattern>(std::max(0, m_patternChoice->currentIndex()));
  const tallyra::Distribution& d = distribution(pattern);
  const bool shown = m_analysis->draws > 0;
  const std::size_t size = shown ? d.seen.size() : 0;
  // Decades read as their numbers, "1–9", "10–19"; the others as the value itself.
  auto label = [&](std::size_t i) {
    const int value = d.first + static_cast<int>(i);
    if (pattern != Pattern::Decades) return QString::number(value);
    return QStringLiteral("%1–%2").arg(std::max(1, value * 10)).arg(value * 10 + 9);
  };
  std::vector<AnalysisTableModel::Row> rows;
  QList<qreal> seen;
  QList<QPointF> expected;
  double highest = 1;
  for (std::size_t i = 0; i < size; ++i) {
    rows.push_back({{label(i), static_cast<double>(d.first) + static_cast<double>(i)},
                    Whole(d.seen[i]),
                    Decimal(d.expected[i])});
    seen.append(static_cast<qreal>(d.seen[i]));
    expected.append(QPointF(static_cast<qreal>(i), d.expected[i].value()));
    highest = std::max({highest, static_cast<double>(d.seen[i]), d.expected[i].value()});
  }
  m_patternModel->setRows(std::move(rows));
  m_seenSet->remove(0, m_seenSet->count());
  m_seenSet->append(seen);
  m_expectedLine->replace(expected);
  for (const QString& old : m_valueAxis->categoriesLabels()) m_valueAxis->remove(old);
  const int step = AnalysisLabelStep(static_cast<int>(size), 16);
  for (std::size_t i = 0; i < size; ++i) {
    const int value = d.first + static_cast<int>(i);
    if (pattern == Pattern::Decades || value % step == 0) {
      m_valueAxis->append(label(i), static_cast<double>(i));
    }
  }
  m_valueAxis->setRange(-0.5, std::max<double>(0.5, static_cast<double>(size) - 0.5));
  m_countAxis->setRange(0, highest);
  m_countAxis->applyNiceNumbers();
  m_patternChart->chart()->setTitle(patternName(pattern));
}

QString AnalysisWindow::rangeText() const {
  if (m_analysis->draws == 0) return T(TextId::TxtAnalysisNoDraws);
  const tallyra::DrawRange r = m_analysis->settings.range;
  return QString::fromStdString(tallyra::Format(
      TextId::TxtAnalysisRangeText, m_language,
      {std::to_string(r.first), std::to_string(r.last), std::to_string(m_history.size())}));
}

QString AnalysisWindow::fileStem(const QString& what) const {
  if (m_analysis->draws == 0) return what;
  const tallyra::DrawRange r = m_analysis->settings.range;
  return QStringLiteral("%1-%2-%3").arg(what).arg(r.first).arg(r.last);
}

void AnalysisWindow::setLanguage(int32_t language) {
  m_language = language;
  applyTexts();
}

void AnalysisWindow::applyTexts() {
  setWindowTitle(T(TextId::TxtAnalysisCaption) + QStringLiteral(" — ") + rangeText());
  m_rangeBox->setTitle(T(TextId::TxtAnalysisRangeBox));
  m_allRadio->setText(T(TextId::TxtAnalysisAll));
  m_latestRadio->setText(T(TextId::TxtAnalysisLatest));
  m_betweenRadio->setText(T(TextId::TxtAnalysisBetween));
  m_toLabel->setText(T(TextId::TxtAnalysisTo));
  m_lowLabel->setText(T(TextId::TxtAnalysisLow));
  m_depthLabel->setText(T(TextId::TxtAnalysisDepth));
  m_rangeLabel->setText(rangeText());
  const TextId tabs[] = {TextId::TxtAnalysisTabNumbers, TextId::TxtAnalysisTabSkips,
                         TextId::TxtAnalysisTabPairs, TextId::TxtAnalysisTabPatterns};
  for (int i = 0; i < 4; ++i) m_tabs->setTabText(i, T(tabs[i]));

  if (m_analysis->badDraw != 0) {
    m_uniformityLabel->setText(QString::fromStdString(
        tallyra::Format(TextId::TxtAnalysisBadDraw, m_language,
                        {std::to_string(m_analysis->badDraw), std::to_string(m_highest)})));
  } else if (m_analysis->draws == 0) {
    m_uniformityLabel->setText(T(TextId::TxtAnalysisEmpty));
  } else {
    m_uniformityLabel->setText(
        QString::fromStdString(tallyra::DescribeUniformity(m_analysis->uniformity, m_language)));
  }
  for (QPushButton* b :
       {m_numbersExport, m_pairsExport, m_companionsExport, m_patternExport, m_shapesExport}) {
    b->setText(T(TextId::TxtAnalysisExport));
  }
  for (QPushButton* b : {m_skipsPng, m_heatMapPng, m_patternPng}) b->setText(T(TextId::TxtSavePng));
  m_skipChart->setTexts(T(TextId::TxtAnalysisSkipsChart), T(TextId::TxtAnalysisColNumber),
                        T(TextId::TxtAnalysisAxisDraw));
  m_heatMap->setCaption(T(TextId::TxtAnalysisHeatMap));
  const TextId lists[] = {TextId::TxtAnalysisPairsMost, TextId::TxtAnalysisPairsLeast,
                          TextId::TxtAnalysisTriplesMost, TextId::TxtAnalysisTriplesLeast};
  for (int i = 0; i < 4; ++i) m_pairList->setItemText(i, T(lists[i]));
  m_companionLabel->setText(T(TextId::TxtAnalysisCompanionsOf));
  for (int i = 0; i <= static_cast<int>(Pattern::Within); ++i) {
    m_patternChoice->setItemText(i, patternName(static_cast<Pattern>(i)));
  }
  m_patternChart->chart()->setTitle(
      patternName(static_cast<Pattern>(std::max(0, m_patternChoice->currentIndex()))));
  m_seenSet->setLabel(T(TextId::TxtAnalysisColSeen));
  m_expectedLine->setName(T(TextId::TxtAnalysisColExpected));
  m_countAxis->setTitleText(T(TextId::TxtAnalysisColTimes));
  m_shapesLabel->setText(T(TextId::TxtAnalysisShapes));
  applyHeaders();
}

void AnalysisWindow::applyHeaders() {
  auto texts = [this](std::initializer_list<TextId> ids) {
    QStringList out;
    for (const TextId id : ids) out << T(id);
    return out;
  };
  m_numbersModel->setHeaders(
      texts({TextId::TxtAnalysisColNumber, TextId::TxtAnalysisColHits,
             TextId::TxtAnalysisColExpected, TextId::TxtAnalysisColSkip,
             TextId::TxtAnalysisColAverageSkip, TextId::TxtAnalysisColLongestSkip}));
  m_pairsModel->setHeaders(texts({TextId::TxtAnalysisColNumbers, TextId::TxtAnalysisColTimes,
                                  TextId::TxtAnalysisColExpected}));
  m_companionsModel->setHeaders(
      texts({TextId::TxtAnalysisColNumber, TextId::TxtAnalysisColWith, TextId::TxtAnalysisColTimes,
             TextId::TxtAnalysisColExpected}));
  m_patternModel->setHeaders(texts(
      {TextId::TxtAnalysisColValue, TextId::TxtAnalysisColSeen, TextId::TxtAnalysisColExpected}));
  QStringList shapes =
      texts({TextId::TxtAnalysisAxisDraw, TextId::TxtAnalysisColNumbers, TextId::TxtAnalysisColOdd,
             TextId::TxtAnalysisColLow, TextId::TxtAnalysisColSum, TextId::TxtAnalysisColSpread,
             TextId::TxtAnalysisColConsecutive, TextId::TxtAnalysisColRepeats});
  shapes << QString::fromStdString(tallyra::Format(TextId::TxtAnalysisColRepeatsWithin, m_language,
                                                   {std::to_string(m_depthSpin->value())}));
  m_shapesModel->setHeaders(shapes);
}

void AnalysisWindow::exportTable(const QTableView* view, const QString& heading,
                                 const QString& stem) {
  if (m_analysis->draws == 0) return;
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtAnalysisExport);
  options.fileName = stem + QStringLiteral(".csv");
  options.filters = {T(TextId::TxtFilterCsv)};
  options.defaultSuffix = QStringLiteral("csv");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, options);
  if (!path) return;
  // The range leads every row, so that the file tells which draws it counts.
  const tallyra::DrawRange r = m_analysis->settings.range;
  const QString draws = QStringLiteral("%1-%2").arg(r.first).arg(r.last);
  QString text = QStringLiteral("draws;") + heading + QStringLiteral("\r\n");
  const QAbstractItemModel* model = view->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    text += draws;
    for (int column = 0; column < model->columnCount(); ++column) {
      text += QLatin1Char(';') + model->index(row, column).data().toString();
    }
    text += QStringLiteral("\r\n");
  }
  const QByteArray bytes = text.toUtf8();
  QSaveFile file(*path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw tallyra::UserError(
        tallyra::Format(TextId::TxtCannotWrite, m_language,
                        {platform::ToLocalPath(*path), file.errorString().toStdString()}));
  }
}

void AnalysisWindow::savePicture(QWidget* picture, const QString& stem) {
  platform::FileDialogOptions options;
  options.title = T(TextId::TxtSavePng);
  options.fileName = stem + QStringLiteral(".png");
  options.filters = {T(TextId::TxtFilterPng)};
  options.defaultSuffix = QStringLiteral("png");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, options);
  if (path && !picture->grab().save(*path, "PNG")) {
    platform::ShowMessage(this, T(TextId::TxtAppTitle),
                          QString::fromStdString(tallyra::Format(TextId::TxtPngNotSaved, m_language,
                                                                 {platform::ToLocalPath(*path)})));
  }
}

void AnalysisWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) rememberSize();
}

void AnalysisWindow::rememberSize() const {
  const QSize size = isMaximized() ? normalGeometry().size() : this->size();
  platform::WritePreference(m_files, kSizeKey,
                            QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
}
