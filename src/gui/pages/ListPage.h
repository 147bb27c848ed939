#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"

class EntryDialog;
class QAction;
class QMenu;
class QPushButton;
enum class EntryMode;

namespace platform {
class StringGrid;
}

// The two lists a player fills in: the stakes (six numbers each) and the system stakes (up to
// twelve numbers each). One page class serves both tabs.
enum class ListKind { Stakes, SystemStakes };

// The Stakes or System stakes tab: the list's grid with its count columns, the Add, Delete and
// Collate buttons, the grid's context menu, and the list's commands (entry, editing, deletion,
// line-up, load and save).
class ListPage final : public QObject {
  Q_OBJECT
 public:
  // Builds the tab's controls on `tab` (which owns the page), its context menu with `menuOwner`
  // as parent. The file dialogs start from `openOptions` and `saveOptions`, read when a dialog
  // opens, and from the data folder of `files`; new entries and edits go through `entry`.
  ListPage(ListKind kind, QWidget* tab, QWidget* menuOwner, tallyra::Workspace& ws,
           LanguageSource language, EntryDialog& entry, const tallyra::DataFiles& files,
           const platform::FileDialogOptions& openOptions,
           const platform::FileDialogOptions& saveOptions);

  ListKind kind() const { return m_kind; }
  QWidget* tab() const { return m_tab; }

  // The commands of the buttons, the menus and the grid.
  void add();
  void editSelected();
  void deleteSelected();
  void deleteAll();
  void lineUp();
  void load();
  // Loads `path` as Load does once its dialog has named a file, after the same question about
  // the rows held (a file dropped on the grid, or named on the command line).
  void loadPath(const QString& path);
  bool save();  // true once the list is safely written (or there was nothing to write)
  // Stakes or System > Import...: a list in any shape the importer reads, shown in the
  // preview first; on OK it replaces the held rows or is appended to them (the user chooses).
  void importFile();
  // Puts `incoming` rows (`row(i)`, 0-based, its numbers) into the list as an import does: with
  // rows held, the user chooses between adding them after those and replacing the list with
  // them (`ask` words the question), and rows that would not fit are told (`noRoom`) with
  // nothing changed. True once the rows are in.
  bool putRows(int incoming, const std::function<std::span<const int32_t>(int)>& row,
               tallyra::TextId ask = tallyra::TextId::TxtImportAskAppend,
               tallyra::TextId noRoom = tallyra::TextId::TxtImportNoRoom);
  // Enter edits the selected row, Delete deletes it.
  void keyPressed(int key);

  // Shows as many rows as the list holds; an empty list keeps what the grid shows.
  void refresh();
  // Empties the grid: two rows, the first blank, no counts, the count shown as 0.
  void showEmpty();
  // The count columns of the last collation or check.
  void clearCounts();
  void setCountRows(const std::vector<std::array<int32_t, 4>>& rows);
  void applyTexts();

 signals:
  // The list's rows changed; the window refreshes every grid and the status bar.
  void listChanged();
  // The status bar's count of this list is to show `count`.
  void countShown(int32_t count);
  // Something wants this tab in front.
  void showTabRequested(QWidget* tab);
  // Every row was deleted; coincidences found before no longer stand.
  void emptied();
  // The tab's Collate button.
  void collateRequested();

 private:
  template <typename F>
  void Guarded(F&& handler);
  QString T(tallyra::TextId id) const;
  QWidget* owner() const;
  void bindCells();
  tallyra::TableRef table() const;
  int32_t& count() const;
  int columns() const;
  QString fileName() const;
  // The entry dialog for editing the selected row: boxes 1..boxes filled from the grid's
  // cells; what is confirmed replaces the row's numbers.
  void openEntryForEdit(int boxes, EntryMode mode);
  bool writeList(const std::string& text);
  void readPath(const QString& path);

  ListKind m_kind;
  QWidget* m_tab;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  EntryDialog& m_entry;
  const tallyra::DataFiles m_files;
  const platform::FileDialogOptions& m_openOptions;
  const platform::FileDialogOptions& m_saveOptions;

  platform::StringGrid* m_grid = nullptr;
  QPushButton* m_addButton = nullptr;
  QPushButton* m_deleteButton = nullptr;
  QPushButton* m_collateButton = nullptr;
  QMenu* m_menu = nullptr;
  QAction* m_addItem = nullptr;
  QAction* m_deleteItem = nullptr;
  QAction* m_editItem = nullptr;
  QAction* m_separator = nullptr;
  QAction* m_lineUpItem = nullptr;
};

// Appends a new stake or system stake typed in the entry dialog (the mode says which); a
// refusal is the text to tell the user.
std::optional<tallyra::TextId> StoreNewEntry(tallyra::Workspace& ws, EntryMode mode,
                                             const std::array<int32_t, 12>& numbers);
