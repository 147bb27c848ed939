#pragma once

#include <QIcon>
#include <QMainWindow>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "collate/Collation.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"
#include "platform/Handler.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;

class AboutDialog;
class EntryDialog;
class ListViewer;
class OptionsDialog;
class StatisticsPage;
enum class EntryMode;

namespace platform {
class ClickLabel;
class StringGrid;
}  // namespace platform

// The main window: it owns the Workspace, shows the three lists, the Check tab and the
// statistics, and runs every command of the menus, buttons and grids. Controls carry the
// names of the layout as their object names.
class TMainForm final : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  tallyra::Workspace& workspace() { return *m_ws; }
  // The current interface language's text of a pair.
  QString T(tallyra::TextId id) const;

  // Handlers, named as the layout names them.
  void FormShow();
  bool FormClose();  // false keeps the window open
  void PageControlChange();
  void N5Click();
  void EngClick(QAction* sender);
  void N10Click();
  void ApplyTexts();
  void LoadStartupResults();
  void RefreshGrids();

  // Stakes.
  void BitEnterClick();
  void SGStavDblClick();
  void BitDelClick();
  void N22Click();
  void N21Click();
  void SGStavKeyDown(int key);
  void N6Click();
  bool N7Click();  // true once the stakes are safely written

  // System stakes.
  void BitEnterSysClick();
  void N28Click();
  void BitDelSysClick();
  void N35Click();
  void N30Click();
  void SGSysKeyDown(int key);
  void N31Click();
  bool N32Click();  // true once the system stakes are safely written

  // Collations and the check.
  void BitTestClick();
  void BitResClick();
  void BitSysClick();
  void BitTestSysClick();
  void BitAllClick();
  void BitCombClick();
  void BitCleanCombClick();
  void BitTestStavClick();
  void BitFromCombClick();
  void Radio1Click();
  void Radio2Click();
  void Lab3Click();
  void Lab4Click();
  void Lab5Click();
  void Lab6Click();

  // Results > From Internet.
  void N42Click();
  // Where the download fetches from; the publisher's address unless a test points it elsewhere.
  void SetDownloadUrl(const QString& url) { m_downloadUrl = url; }

  // Help, information and options.
  void N4Click();
  void N11Click();
  void N43Click();
  void Image1Click();
  // Writes M and the language into the settings file; a failure is thrown as the user's error.
  void WriteSettings();

  // The result panel of the Check tab back to its empty, greyed state.
  void ResetMatchPanel();
  void ClearStakeMatchColumns();
  void ClearSystemMatchColumns();
  void ShowMatchCounts();
  // The lists of the last collation or check, by category (0 for three common numbers).
  const std::array<tallyra::ListPtr, 4>& MatchLists() const { return m_lists; }
  // Puts an outcome on the result panel and into the grids' count columns.
  void ApplyOutcome(const tallyra::Outcome& outcome);
  std::array<int64_t, 4> MatchTotals() const { return m_totals; }

  // Brings a tab forward from code, with the tab images following.
  void ShowTab(QWidget* tab);
  // Runs a piece of a handler; what it throws is shown and the program goes on.
  template <typename F>
  void RunGuarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }

  // Controls.
  platform::ClickLabel* Image1 = nullptr;
  platform::ClickLabel* Image2 = nullptr;
  QTabWidget* PageControl = nullptr;
  QWidget* TS1 = nullptr;
  QWidget* TS2 = nullptr;
  QWidget* TS3 = nullptr;
  QWidget* TS4 = nullptr;
  QWidget* TS5 = nullptr;
  platform::StringGrid* SGStav = nullptr;
  platform::StringGrid* SGSys = nullptr;
  platform::StringGrid* SGRes = nullptr;
  QPushButton* BitEnter = nullptr;
  QPushButton* BitDel = nullptr;
  QPushButton* BitTest = nullptr;
  QPushButton* BitEnterSys = nullptr;
  QPushButton* BitDelSys = nullptr;
  QPushButton* BitTestSys = nullptr;
  QPushButton* BitRes = nullptr;
  QPushButton* BitSys = nullptr;
  QPushButton* BitAll = nullptr;
  QLabel* Label1 = nullptr;
  std::vector<QLabel*> L;  // L[1]..L[12]; L[0] unused
  QGroupBox* RadioGroup1 = nullptr;
  QRadioButton* Radio1 = nullptr;
  QCheckBox* CheckSys = nullptr;
  QRadioButton* Radio2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* LR3 = nullptr;
  QLabel* LR4 = nullptr;
  QLabel* LR5 = nullptr;
  QLabel* LR6 = nullptr;
  platform::ClickLabel* Lab3 = nullptr;
  platform::ClickLabel* Lab4 = nullptr;
  platform::ClickLabel* Lab5 = nullptr;
  platform::ClickLabel* Lab6 = nullptr;
  QPushButton* BitComb = nullptr;
  QPushButton* BitCleanComb = nullptr;
  QPushButton* BitTestStav = nullptr;
  QPushButton* BitFromComb = nullptr;
  std::vector<QLabel*> SBar;  // the seven status bar panels

  // Menus and their items.
  QMenu* N1 = nullptr;
  QAction *N6 = nullptr, *N7 = nullptr, *N8 = nullptr, *N9 = nullptr, *N22 = nullptr;
  QMenu* C1 = nullptr;
  QAction *N31 = nullptr, *N32 = nullptr, *N33 = nullptr, *N34 = nullptr, *N35 = nullptr;
  QMenu* N2 = nullptr;
  QAction *N10 = nullptr, *N42 = nullptr, *N12 = nullptr;
  QMenu* N13 = nullptr;
  QAction *N23 = nullptr, *N24 = nullptr, *N25 = nullptr;
  QMenu* N3 = nullptr;
  QAction *N14 = nullptr, *N15 = nullptr, *N16 = nullptr;
  QMenu* N43 = nullptr;
  QMenu* Language1 = nullptr;
  QAction *Eng = nullptr, *Rus = nullptr, *N44 = nullptr, *Y1 = nullptr;
  QMenu* Help = nullptr;
  QAction *N4 = nullptr, *N36 = nullptr, *N11 = nullptr;
  QAction* N5 = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction *N17 = nullptr, *N18 = nullptr, *N19 = nullptr, *N20 = nullptr, *N21 = nullptr;
  QMenu* PopupSys = nullptr;
  QAction *N26 = nullptr, *N27 = nullptr, *N28 = nullptr, *N29 = nullptr, *N30 = nullptr;

  // The shared file dialogs' settings.
  platform::FileDialogOptions OpenD;
  platform::FileDialogOptions SaveD;

  // Tab images: 0 marks the shown tab, 2 every other one.
  std::vector<QIcon> TabImages;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  // The grids' cells, read from the Workspace; bound once, when the Workspace exists.
  void BindListCells();
  void BuildMenus();
  void BindHandlers();
  void ReadSettings();
  // Reads a record-line file into a list; the user hears of every problem at once. Returns
  // false when nothing could be read. What the user should know of a load that went through
  // (draws left out, an unfinished last line) comes back in `notice`, to be shown once the
  // grids show the load.
  bool LoadRecordFile(const QString& path, tallyra::TableRef table, int32_t& count, bool keepLatest,
                      QString& notice);
  void ShowLoadNotice(const QString& notice);
  void ShowPlainMessage(tallyra::TextId id);
  void SetPanel(int panel, int32_t value);
  // What the commands shared by the stakes and the system stakes need of a list.
  struct StakeList {
    platform::StringGrid* grid;
    tallyra::TableRef table;
    int32_t& count;
    int columns;
    int panel;  // status bar panel of the count
    QWidget* tab;
    QString fileName;  // preset in the file dialogs
    tallyra::TextId askDeleteAll;
  };
  StakeList Stakes();
  StakeList Systems();
  // The entry dialog for editing the selected row of a grid: boxes 1..boxes filled from the
  // grid's cells; what is confirmed replaces the row's numbers.
  void OpenEntryForEdit(const StakeList& list, int boxes, EntryMode mode);
  // Appends a new stake or system stake typed in the entry dialog; a refusal is the text to
  // tell the user.
  std::optional<tallyra::TextId> StoreEntry(EntryMode mode, const std::array<int32_t, 12>& numbers);
  void EntryStored(EntryMode mode);
  void EntryModeSwitched(EntryMode mode);
  // Empties a list's grid: two rows, the first blank, no counts, its panel "0".
  void ShowEmptyList(const StakeList& list);
  // Removes the selected row of a list, its count cells moving up with the rows below.
  void DeleteSelectedRow(const StakeList& list);
  void DeleteAllRows(const StakeList& list);
  void LoadList(const StakeList& list);
  // Writes a list through the save dialog; true once it is safely written.
  bool SaveList(const StakeList& list, const std::string& text);

  // Runs a collation: the guard, the prologue, the run off the GUI thread, the outcome shown.
  void RunCollation(tallyra::CollationKind kind);
  void ShowList(int category);

  std::unique_ptr<tallyra::Workspace> m_ws;
  // The dialogs, created with the window and hidden between uses.
  EntryDialog* m_entryDialog = nullptr;
  ListViewer* m_listViewer = nullptr;
  AboutDialog* m_aboutDialog = nullptr;
  OptionsDialog* m_optionsDialog = nullptr;
  // The tabs.
  StatisticsPage* m_statisticsPage = nullptr;
  std::array<tallyra::ListPtr, 4> m_lists;
  std::array<int64_t, 4> m_totals{};
  QString m_downloadUrl;
  bool m_shown = false;
  // A collation in progress: what stops it, and whether the window was asked to close
  // meanwhile (it closes once the run has stopped).
  bool m_collating = false;
  bool m_closeAfterRun = false;
  std::atomic<bool> m_stopRun{false};
};

// The one main window, through which the dialogs reach the Workspace.
extern TMainForm* MainForm;
