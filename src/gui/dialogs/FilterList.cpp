#include "dialogs/FilterList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "platform/QtTexts.h"

using tallyra::Filter;
using tallyra::FilterKind;
using tallyra::TextId;

namespace {

enum Column { On, Name, Arguments, Reason, Columns };

constexpr int kKinds = static_cast<int>(FilterKind::TopPairs) + 1;

// The filters with a single bound: "at most `high`" (TopPairs: `high` pairs).
bool TakesMost(FilterKind kind) {
  switch (kind) {
    case FilterKind::ConsecutiveMax:
    case FilterKind::DecadeMax:
    case FilterKind::LastDigitMax:
    case FilterKind::PreviousMax:
    case FilterKind::ShareMax:
    case FilterKind::TopPairs:
      return true;
    default:
      return false;
  }
}

bool TakesBounds(FilterKind kind) {
  return kind == FilterKind::Sum || kind == FilterKind::Odd || kind == FilterKind::Low ||
         kind == FilterKind::Spread;
}

// A new filter of the kind, with bounds that keep about the middle of the combinations.
Filter NewFilter(FilterKind kind, int32_t highest) {
  Filter f;
  f.kind = kind;
  switch (kind) {
    case FilterKind::Sum: {
      const int32_t mean = 3 * (highest + 1);
      f.low = mean * 4 / 5;
      f.high = mean * 6 / 5;
      break;
    }
    case FilterKind::Odd:
    case FilterKind::Low:
      f.low = 2;
      f.high = 4;
      break;
    case FilterKind::Spread:
      f.low = highest / 2;
      f.high = highest - 1;
      break;
    case FilterKind::ConsecutiveMax:
    case FilterKind::PreviousMax:
      f.high = 1;
      break;
    case FilterKind::DecadeMax:
    case FilterKind::ShareMax:
      f.high = 3;
      break;
    case FilterKind::LastDigitMax:
      f.high = 2;
      break;
    case FilterKind::TopPairs:
      f.high = 10;
      break;
    default:
      break;
  }
  return f;
}

QString NumbersText(const std::vector<int32_t>& numbers) {
  QStringList parts;
  for (const int32_t n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

QSpinBox* BoundSpin(QWidget* parent, const QString& name, int value) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(0, 999);
  spin->setValue(value);
  return spin;
}

}  // namespace

FilterList::FilterList(QWidget* parent, LanguageSource language)
    : QWidget(parent), m_language(std::move(language)) {
  setObjectName(QStringLiteral("FilterList"));
  m_table = new QTableWidget(0, Columns, this);
  m_table->setObjectName(QStringLiteral("FilterTable"));
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->verticalHeader()->setDefaultSectionSize(26);
  m_table->horizontalHeader()->setSectionResizeMode(On, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setSectionResizeMode(Arguments, QHeaderView::Interactive);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->setColumnWidth(Arguments, 220);

  m_kindCombo = new QComboBox(this);
  m_kindCombo->setObjectName(QStringLiteral("FilterKindCombo"));
  for (int k = 0; k < kKinds; ++k) m_kindCombo->addItem(QString(), k);
  auto button = [this](const char* name) {
    auto* b = new QPushButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  m_addButton = button("AddFilterButton");
  m_removeButton = button("RemoveFilterButton");
  m_upButton = button("FilterUpButton");
  m_downButton = button("FilterDownButton");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_kindCombo, 1);
  for (QPushButton* b : {m_addButton, m_removeButton, m_upButton, m_downButton}) {
    buttons->addWidget(b);
  }
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(m_table, 1);
  column->addLayout(buttons);

  connect(m_addButton, &QPushButton::clicked, this, [this] { addFilter(); });
  connect(m_removeButton, &QPushButton::clicked, this, [this] { removeFilter(); });
  connect(m_upButton, &QPushButton::clicked, this, [this] { moveFilter(-1); });
  connect(m_downButton, &QPushButton::clicked, this, [this] { moveFilter(1); });
  applyTexts();
}

QString FilterList::T(TextId id) const {
  return platform::Tr(id, m_language());
}

QString FilterList::KindText(FilterKind kind, int32_t language) {
  static constexpr TextId kTexts[kKinds] = {
      TextId::TxtGenKindSum,       TextId::TxtGenKindOdd,         TextId::TxtGenKindLow,
      TextId::TxtGenKindSpread,    TextId::TxtGenKindConsecutive, TextId::TxtGenKindDecade,
      TextId::TxtGenKindLastDigit, TextId::TxtGenKindInclude,     TextId::TxtGenKindIncludeAny,
      TextId::TxtGenKindExclude,   TextId::TxtGenKindPool,        TextId::TxtGenKindPrevious,
      TextId::TxtGenKindNotDrawn,  TextId::TxtGenKindShare,       TextId::TxtGenKindTopPairs};
  return platform::Tr(kTexts[static_cast<int>(kind)], language);
}

bool FilterList::TakesNumbers(FilterKind kind) {
  return kind == FilterKind::Include || kind == FilterKind::IncludeAny ||
         kind == FilterKind::Exclude || kind == FilterKind::Pool;
}

void FilterList::setFilters(std::vector<Filter> filters) {
  m_filters = std::move(filters);
  m_typing.assign(m_filters.size(), QString());
  m_reasonRow = -1;
  rebuild();
  emit changed();
}

void FilterList::setHighest(int32_t highest) {
  m_highest = highest;
}

int FilterList::current() const {
  const int row = m_table->currentRow();
  return row >= 0 && row < static_cast<int>(m_filters.size()) ? row : -1;
}

bool FilterList::setNumbersOfCurrent(const std::vector<int32_t>& numbers) {
  const int row = current();
  if (row < 0 || !TakesNumbers(m_filters[static_cast<std::size_t>(row)].kind)) return false;
  m_filters[static_cast<std::size_t>(row)].numbers = numbers;
  m_typing[static_cast<std::size_t>(row)].clear();
  if (auto* edit = m_table->findChild<QLineEdit*>(QStringLiteral("FilterNumbers%1").arg(row + 1))) {
    const QSignalBlocker quiet(edit);
    edit->setText(NumbersText(numbers));
  }
  showReasons();
  emit changed();
  return true;
}

std::optional<tallyra::FilterProblem> FilterList::typingProblem() const {
  for (std::size_t i = 0; i < m_typing.size(); ++i) {
    if (!m_typing[i].isEmpty() && m_filters[i].on) {
      return tallyra::FilterProblem{static_cast<int>(i), m_typing[i].toStdString()};
    }
  }
  return std::nullopt;
}

void FilterList::showReason(int index, const QString& reason) {
  m_reasonRow = index;
  m_reason = reason;
  showReasons();
}

void FilterList::showReasons() {
  for (int row = 0; row < static_cast<int>(m_filters.size()); ++row) {
    auto* label = qobject_cast<QLabel*>(m_table->cellWidget(row, Reason));
    if (!label) continue;
    const QString& typing = m_typing[static_cast<std::size_t>(row)];
    label->setText(!typing.isEmpty() ? typing : row == m_reasonRow ? m_reason : QString());
    label->setToolTip(label->text());
  }
}

void FilterList::rebuild() {
  const int keep = m_table->currentRow();
  // The table deletes its old row widgets only later: their names go now, so that a name
  // finds the new row's widget.
  for (int row = 0; row < m_table->rowCount(); ++row) {
    for (int c = 0; c < Columns; ++c) {
      if (QWidget* old = m_table->cellWidget(row, c)) {
        old->setObjectName(QString());
        for (QObject* child : old->findChildren<QObject*>()) child->setObjectName(QString());
      }
    }
  }
  m_table->setRowCount(0);
  m_table->setRowCount(static_cast<int>(m_filters.size()));
  const int32_t language = m_language();
  for (int row = 0; row < static_cast<int>(m_filters.size()); ++row) {
    const Filter& f = m_filters[static_cast<std::size_t>(row)];
    const QString n = QString::number(row + 1);
    auto* on = new QCheckBox;
    on->setObjectName(QStringLiteral("FilterOn") + n);
    on->setChecked(f.on);
    connect(on, &QCheckBox::toggled, this, [this, row](bool checked) {
      m_filters[static_cast<std::size_t>(row)].on = checked;
      emit changed();
    });
    m_table->setCellWidget(row, On, on);
    auto* name = new QTableWidgetItem(n + QStringLiteral(". ") + KindText(f.kind, language));
    m_table->setItem(row, Name, name);

    auto* editor = new QWidget;
    auto* line = new QHBoxLayout(editor);
    line->setContentsMargins(2, 0, 2, 0);
    if (TakesBounds(f.kind)) {
      QSpinBox* low = BoundSpin(editor, QStringLiteral("FilterLow") + n, f.low);
      QSpinBox* high = BoundSpin(editor, QStringLiteral("FilterHigh") + n, f.high);
      line->addWidget(low);
      line->addWidget(new QLabel(QStringLiteral("-"), editor));
      line->addWidget(high);
      connect(low, &QSpinBox::valueChanged, this, [this, row](int value) {
        m_filters[static_cast<std::size_t>(row)].low = value;
        emit changed();
      });
      connect(high, &QSpinBox::valueChanged, this, [this, row](int value) {
        m_filters[static_cast<std::size_t>(row)].high = value;
        emit changed();
      });
    } else if (TakesMost(f.kind)) {
      QSpinBox* high = BoundSpin(editor, QStringLiteral("FilterHigh") + n, f.high);
      line->addWidget(high);
      connect(high, &QSpinBox::valueChanged, this, [this, row](int value) {
        m_filters[static_cast<std::size_t>(row)].high = value;
        emit changed();
      });
    } else if (TakesNumbers(f.kind)) {
      auto* edit = new QLineEdit(editor);
      edit->setObjectName(QStringLiteral("FilterNumbers") + n);
      edit->setText(NumbersText(f.numbers));
      edit->setPlaceholderText(QStringLiteral("1 7 12 ..."));
      edit->setMinimumWidth(180);
      line->addWidget(edit);
      connect(edit, &QLineEdit::textChanged, this,
              [this, row](const QString& text) { numbersTyped(row, text); });
    }
    line->addStretch();
    m_table->setCellWidget(row, Arguments, editor);
    auto* reason = new QLabel;
    reason->setObjectName(QStringLiteral("FilterReason") + n);
    reason->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_table->setCellWidget(row, Reason, reason);
  }
  if (keep >= 0 && keep < m_table->rowCount()) m_table->selectRow(keep);
  showReasons();
}

void FilterList::numbersTyped(int row, const QString& text) {
  // Numbers may be parted by blanks, commas or semicolons, in any mix.
  const QStringList parts =
      text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
  Filter read = m_filters[static_cast<std::size_t>(row)];
  QString& typing = m_typing[static_cast<std::size_t>(row)];
  if (const auto reason = tallyra::ReadFilterArguments(
          read, parts.join(QLatin1Char(',')).toStdString(), m_highest, m_language())) {
    typing = QString::fromStdString(*reason);
  } else {
    typing.clear();
    m_filters[static_cast<std::size_t>(row)] = std::move(read);
  }
  showReasons();
  emit changed();
}

void FilterList::addFilter() {
  const auto kind = static_cast<FilterKind>(m_kindCombo->currentData().toInt());
  m_filters.push_back(NewFilter(kind, m_highest));
  m_typing.emplace_back();
  rebuild();
  m_table->selectRow(static_cast<int>(m_filters.size()) - 1);
  emit changed();
}

void FilterList::removeFilter() {
  const int row = current();
  if (row < 0) return;
  m_filters.erase(m_filters.begin() + row);
  m_typing.erase(m_typing.begin() + row);
  m_reasonRow = -1;
  rebuild();
  m_table->selectRow(std::min(row, static_cast<int>(m_filters.size()) - 1));
  emit changed();
}

void FilterList::moveFilter(int by) {
  const int row = current();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= static_cast<int>(m_filters.size())) return;
  std::swap(m_filters[static_cast<std::size_t>(row)], m_filters[static_cast<std::size_t>(to)]);
  std::swap(m_typing[static_cast<std::size_t>(row)], m_typing[static_cast<std::size_t>(to)]);
  m_reasonRow = -1;
  rebuild();
  m_table->selectRow(to);
  emit changed();
}

void FilterList::applyTexts() {
  const int32_t language = m_language();
  m_table->setHorizontalHeaderLabels(
      {QString(), T(TextId::TxtGenColFilter), T(TextId::TxtGenColArguments), QString()});
  for (int k = 0; k < kKinds; ++k) {
    m_kindCombo->setItemText(k, KindText(static_cast<FilterKind>(k), language));
  }
  for (int row = 0; row < static_cast<int>(m_filters.size()); ++row) {
    if (QTableWidgetItem* item = m_table->item(row, Name)) {
      item->setText(QString::number(row + 1) + QStringLiteral(". ") +
                    KindText(m_filters[static_cast<std::size_t>(row)].kind, language));
    }
  }
  m_addButton->setText(T(TextId::TxtGenAdd));
  m_removeButton->setText(T(TextId::TxtGenRemove));
  m_upButton->setText(T(TextId::TxtGenUp));
  m_downButton->setText(T(TextId::TxtGenDown));
}
