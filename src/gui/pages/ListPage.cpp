#include "pages/ListPage.h"

#include <QPushButton>
#include <span>

#include "dialogs/EntryDialog.h"
#include "dialogs/ImportDialog.h"
#include "import/Importer.h"
#include "lists/ListEditing.h"
#include "model/Files.h"
#include "model/Problem.h"
#include "pages/PageLayout.h"
#include "pages/RecordFile.h"
#include "platform/FileDrop.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

namespace {

constexpr int kKeyEnter = Qt::Key_Return;
constexpr int kKeyEnterPad = Qt::Key_Enter;
constexpr int kKeyDelete = Qt::Key_Delete;

// The controls' object names, stakes first.
struct Names {
  const char* grid;
  const char* add;
  const char* del;
  const char* collate;
  const char* menu;
  const char* addItem;
  const char* deleteItem;
  const char* editItem;
  const char* separator;
  const char* lineUpItem;
};
constexpr Names kStakeNames{"SGStav", "BitEnter", "BitDel", "BitTest", "PopupMenu",
                            "N17",    "N18",      "N19",    "N20",     "N21"};
constexpr Names kSystemNames{"SGSys", "BitEnterSys", "BitDelSys", "BitTestSys", "PopupSys",
                             "N26",   "N27",         "N28",       "N29",        "N30"};

}  // namespace

std::optional<TextId> StoreNewEntry(tallyra::Workspace& ws, EntryMode mode,
                                    const std::array<int32_t, 12>& numbers) {
  if (mode == EntryMode::NewSystemStake) {
    // All twelve slots are written, empty ones as 0, so nothing stale can join the stake.
    if (!tallyra::AppendRow(tallyra::TableRef::of(ws.SystemTable), ws.SystemCount, numbers)) {
      return TextId::TxtSystemFull;
    }
    return std::nullopt;
  }
  if (!tallyra::AppendRow(tallyra::TableRef::of(ws.StakeTable), ws.StakeCount,
                          std::span(numbers).first(6))) {
    return TextId::TxtStakesFull;
  }
  return std::nullopt;
}

ListPage::ListPage(ListKind kind, QWidget* tab, QWidget* menuOwner, tallyra::Workspace& ws,
                   LanguageSource language, EntryDialog& entry, const tallyra::DataFiles& files,
                   const platform::FileDialogOptions& openOptions,
                   const platform::FileDialogOptions& saveOptions)
    : QObject(tab),
      m_kind(kind),
      m_tab(tab),
      m_ws(ws),
      m_language(std::move(language)),
      m_entry(entry),
      m_files(files),
      m_openOptions(openOptions),
      m_saveOptions(saveOptions) {
  const bool stakes = kind == ListKind::Stakes;
  const Names& names = stakes ? kStakeNames : kSystemNames;
  QWidget* panel = layout::Panel(tab);
  if (stakes) {
    m_grid = layout::Grid(panel, names.grid, 48, 8, 617, 297, std::vector<int>(11, 53));
    m_grid->model().setCountColumns(7, 10);
  } else {
    std::vector<int> widths(12, 33);
    widths.insert(widths.end(), {30, 39, 39, 39, 40});
    m_grid = layout::Grid(panel, names.grid, 48, 8, 617, 297, widths);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->model().setCountColumns(13, 16);
  }
  // A list file dropped on the grid loads as Load loads it.
  platform::AcceptFileDrops(m_grid,
                            [this](const QString& path) { Guarded([&] { loadPath(path); }); });
  m_addButton = layout::Button(panel, names.add, 48, 312);
  m_deleteButton = layout::Button(panel, names.del, 264, 312);
  m_collateButton = layout::Button(panel, names.collate, 480, 312);

  m_menu = layout::Menu(menuOwner, names.menu);
  m_addItem = layout::Item(m_menu, names.addItem);
  m_deleteItem = layout::Item(m_menu, names.deleteItem);
  m_editItem = layout::Item(m_menu, names.editItem);
  m_separator = layout::Separator(m_menu, names.separator);
  m_lineUpItem = layout::Item(m_menu, names.lineUpItem);
  connect(m_grid, &QWidget::customContextMenuRequested, m_menu,
          [this](const QPoint& at) { m_menu->popup(m_grid->viewport()->mapToGlobal(at)); });

  auto bind = [this](QAction* action, void (ListPage::*command)()) {
    connect(action, &QAction::triggered, this,
            [this, command] { Guarded([&] { (this->*command)(); }); });
  };
  auto bindButton = [this](QPushButton* button, void (ListPage::*command)()) {
    connect(button, &QPushButton::clicked, this,
            [this, command] { Guarded([&] { (this->*command)(); }); });
  };
  bind(m_addItem, &ListPage::add);
  bind(m_deleteItem, &ListPage::deleteSelected);
  bind(m_editItem, &ListPage::editSelected);
  bind(m_lineUpItem, &ListPage::lineUp);
  bindButton(m_addButton, &ListPage::add);
  bindButton(m_deleteButton, &ListPage::deleteSelected);
  connect(m_collateButton, &QPushButton::clicked, this,
          [this] { Guarded([&] { emit collateRequested(); }); });
  connect(m_grid, &QAbstractItemView::doubleClicked, this,
          [this] { Guarded([&] { editSelected(); }); });
  connect(m_grid, &platform::StringGrid::keyDown, this,
          [this](int key) { Guarded([&] { keyPressed(key); }); });
  bindCells();
}

template <typename F>
void ListPage::Guarded(F&& handler) {
  platform::RunHandler(owner(), std::forward<F>(handler));
}

QString ListPage::T(TextId id) const {
  return platform::Tr(id, m_language());
}

QWidget* ListPage::owner() const {
  return m_tab->window();
}

void ListPage::bindCells() {
  // The grid reads its cells from the Workspace whenever it paints; a refresh only tells it
  // how many rows are filled.
  const tallyra::Workspace& ws = m_ws;
  if (m_kind == ListKind::Stakes) {
    m_grid->model().setCellText([&ws](int row, int col) {
      return col == 0   ? QString::number(row)
             : col <= 6 ? QString::number(ws.StakeTable.cell[col][row])
                        : QString();
    });
  } else {
    m_grid->model().setCellText([&ws](int row, int col) {
      if (col == 0) return QString::number(row);
      const int32_t value = col <= 12 ? ws.SystemTable.cell[col][row] : 0;
      return value == 0 ? QString() : QString::number(value);
    });
  }
}

tallyra::TableRef ListPage::table() const {
  return m_kind == ListKind::Stakes ? tallyra::TableRef::of(m_ws.StakeTable)
                                    : tallyra::TableRef::of(m_ws.SystemTable);
}

int32_t& ListPage::count() const {
  return m_kind == ListKind::Stakes ? m_ws.StakeCount : m_ws.SystemCount;
}

int ListPage::columns() const {
  return m_kind == ListKind::Stakes ? m_ws.BallsPerStake : tallyra::SystemTableT::kUsableColumns;
}

QString ListPage::fileName() const {
  return m_kind == ListKind::Stakes ? QStringLiteral("Stavka.txt") : QStringLiteral("System.txt");
}

void ListPage::refresh() {
  const int32_t rows = count();
  if (rows == 0) return;
  auto& grid = m_grid->model();
  grid.setGridRowCount(rows + 1);
  emit countShown(rows);
  grid.setFilledRows(rows);
}

void ListPage::showEmpty() {
  auto& model = m_grid->model();
  model.setGridRowCount(2);
  model.setFilledRows(0);
  model.clearCounts();
  emit countShown(0);
}

void ListPage::clearCounts() {
  m_grid->model().clearCounts();
}

void ListPage::setCountRows(const std::vector<std::array<int32_t, 4>>& rows) {
  m_grid->model().setCountRows(rows);
}

void ListPage::openEntryForEdit(int boxes, EntryMode mode) {
  const int r = m_grid->row();
  QStringList values;
  for (int b = 1; b <= boxes; ++b) values << m_grid->model().cellText(r, b);
  const auto numbers = m_entry.enterOne(mode, m_ws.HighestNumber, values);
  if (!numbers || r < 1 || r > count()) return;
  const tallyra::TableRef cells = table();
  for (int c = 1; c <= boxes; ++c) cells(c, r) = (*numbers)[c - 1];
}

void ListPage::add() {
  const bool stakes = m_kind == ListKind::Stakes;
  tallyra::Workspace& ws = m_ws;
  m_entry.enterNew(stakes ? EntryMode::NewStake : EntryMode::NewSystemStake, ws.HighestNumber,
                   [&ws](EntryMode mode, const std::array<int32_t, 12>& numbers) {
                     return StoreNewEntry(ws, mode, numbers);
                   });
  if (stakes) {
    emit listChanged();
  } else {
    emit showTabRequested(m_tab);
  }
}

void ListPage::editSelected() {
  if (count() == 0) return;
  if (m_kind == ListKind::Stakes) {
    openEntryForEdit(6, EntryMode::EditStake);
  } else {
    openEntryForEdit(12, EntryMode::EditSystemStake);
    emit showTabRequested(m_tab);
  }
  emit listChanged();
}

void ListPage::deleteSelected() {
  int32_t& rows = count();
  if (rows == 0) return;
  if (!platform::AskYesNo(owner(), T(TextId::TxtCapDeleteStake), T(TextId::TxtAskDeleteStake))) {
    return;
  }
  const int r = m_grid->row();
  if (r < 1 || r > rows) return;
  m_grid->model().moveCountsUp(r, rows);
  tallyra::DeleteRow(table(), rows, r, columns());
  if (rows == 0) {
    showEmpty();
    return;
  }
  emit listChanged();
  // The selection stays on the same row number while it exists, else on the last row.
  m_grid->setRow(std::min(r, static_cast<int>(rows)));
}

void ListPage::deleteAll() {
  int32_t& rows = count();
  if (rows == 0) return;
  const TextId question =
      m_kind == ListKind::Stakes ? TextId::TxtAskDeleteAllStakes : TextId::TxtAskDeleteAllSystem;
  if (!platform::AskYesNo(owner(), T(TextId::TxtCapDeleteStakes), T(question))) return;
  tallyra::ClearTable(table(), rows, columns());
  showEmpty();
  emit emptied();
}

void ListPage::lineUp() {
  if (m_kind == ListKind::Stakes) {
    tallyra::LineUpStakes(m_ws.StakeTable, m_ws.StakeCount);
  } else {
    tallyra::LineUpSystem(m_ws.SystemTable, m_ws.SystemCount);
  }
  emit listChanged();
}

void ListPage::keyPressed(int key) {
  if (key == kKeyEnter || key == kKeyEnterPad) {
    editSelected();
  } else if (key == kKeyDelete) {
    deleteSelected();
  }
}

void ListPage::load() {
  deleteAll();
  platform::FileDialogOptions open = m_openOptions;
  open.fileName = fileName();
  const std::optional<QString> path = platform::GetOpenFileName(owner(), m_files, open);
  if (path) readPath(*path);
}

void ListPage::loadPath(const QString& path) {
  deleteAll();
  readPath(path);
}

void ListPage::readPath(const QString& path) {
  QString notice;
  pages::LoadRecordFile(owner(), m_language(), path, table(), count(), false, notice);
  emit listChanged();
  emit showTabRequested(m_tab);
  pages::ShowLoadNotice(owner(), m_language(), notice);
}

bool ListPage::save() {
  if (count() == 0) return true;
  if (m_kind == ListKind::Stakes) {
    return writeList(tallyra::FormatStakesFile(m_ws.StakeTable, m_ws.StakeCount));
  }
  lineUp();  // lined up first, even if the dialog is then cancelled
  return writeList(tallyra::FormatSystemFile(m_ws.SystemTable, m_ws.SystemCount));
}

bool ListPage::writeList(const std::string& text) {
  platform::FileDialogOptions save = m_saveOptions;
  save.fileName = fileName();
  const std::optional<QString> path = platform::GetSaveFileName(owner(), m_files, save);
  if (!path) return false;
  if (const auto error = tallyra::WriteFileReplacing(platform::ToLocalPath(*path), text)) {
    platform::ShowProblem(
        owner(), tallyra::Problem{TextId::TxtCannotWrite, {path->toStdString()}, 0, *error},
        m_language());
    return false;
  }
  return true;
}

void ListPage::applyTexts() {
  auto& grid = m_grid->model();
  if (m_kind == ListKind::Stakes) {
    grid.setHeader(0, QStringLiteral("    №"));
    for (int c = 1; c <= 6; ++c) grid.setHeader(c, QString());
    grid.setHeader(7, QStringLiteral("    6"));
    grid.setHeader(8, QStringLiteral("    5"));
    grid.setHeader(9, QStringLiteral("    4"));
    grid.setHeader(10, QStringLiteral("    3"));
  } else {
    grid.setHeader(0, QStringLiteral("  №"));
    for (int c = 1; c <= 12; ++c) grid.setHeader(c, QString());
    grid.setHeader(13, QStringLiteral("  6..."));
    grid.setHeader(14, QStringLiteral("  5"));
    grid.setHeader(15, QStringLiteral("  4"));
    grid.setHeader(16, QStringLiteral("  3"));
  }
  m_deleteButton->setText(T(TextId::TxtDelete));
  m_addButton->setText(T(TextId::TxtAdd));
  m_collateButton->setText(T(TextId::TxtCollate));
  m_editItem->setText(T(TextId::TxtEdit));
  m_lineUpItem->setText(T(TextId::TxtLineUp));
  m_addItem->setText(T(TextId::TxtAdd));
  m_deleteItem->setText(T(TextId::TxtDelete));
}

void ListPage::importFile() {
  const auto picked = pages::PickImportFile(
      owner(), m_ws.Language, m_files, m_openOptions,
      m_kind == ListKind::Stakes ? pages::ImportKind::Stakes : pages::ImportKind::System);
  if (!picked) return;
  ImportDialog dialog(owner(), m_language);
  const std::optional<tallyra::ImportResult> imported = dialog.preview(
      picked->first,
      m_kind == ListKind::SystemStakes ? tallyra::ImportKind::System : tallyra::ImportKind::Stakes,
      m_ws.HighestNumber, picked->second);
  if (!imported) return;

  putRows(static_cast<int>(imported->rows.size()), [&](int i) {
    const tallyra::ImportedRow& row = imported->rows[static_cast<std::size_t>(i)];
    return std::span<const int32_t>(row.numbers.data(), static_cast<std::size_t>(row.size));
  });
}

bool ListPage::putRows(int incoming, const std::function<std::span<const int32_t>(int)>& row,
                       TextId ask, TextId noRoom) {
  int32_t& rows = count();
  const int32_t language = m_ws.Language;
  bool append = false;
  if (rows > 0) {
    append =
        platform::AskYesNo(owner(), T(TextId::TxtAppTitle),
                           QString::fromUtf8(tallyra::Format(
                               ask, language, {std::to_string(incoming), std::to_string(rows)})));
  }
  const int capacity = table().capacity();
  if (append && rows + incoming > capacity) {
    platform::ShowMessage(
        owner(), T(TextId::TxtAppTitle),
        QString::fromUtf8(tallyra::Format(
            noRoom, language,
            {std::to_string(rows), std::to_string(capacity), std::to_string(incoming)})));
    return false;
  }
  if (!append) tallyra::ClearTable(table(), rows, columns());
  // The counts of an earlier collation no longer belong to the list.
  showEmpty();
  emit emptied();
  for (int i = 0; i < incoming; ++i) tallyra::AppendRow(table(), rows, row(i));
  emit listChanged();
  emit showTabRequested(m_tab);
  return true;
}
