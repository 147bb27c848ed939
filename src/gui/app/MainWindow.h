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
class HelpWindow;
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
class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  // The status bar's panels, left to right: captions and the counts of the three lists, and a
  // last panel for notes.
  enum class StatusPanel {
    StakesCaption,
    StakeCount,
    SystemCaption,
    SystemCount,
    DrawsCaption,
    DrawCount,
    Note
  };

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  tallyra::Workspace& workspace() { return *m_ws; }
  // The current interface language's text of a pair.
  QString T(tallyra::TextId id) const;

  // Handlers, named as the layout names them.
  void onFirstShow();
  bool confirmClose();  // false keeps the window open
  void updateTabImages();
  void exitProgram();
  void chooseLanguage(QAction* sender);
  void loadResults();
  void applyTexts();
  void loadStartupResults();
  void refreshGrids();

  // Stakes.
  void addStakes();
  void editSelectedStake();
  void deleteSelectedStake();
  void deleteAllStakes();
  void lineUpStakes();
  void stakesGridKeyPressed(int key);
  void loadStakes();
  bool saveStakes();  // true once the stakes are safely written

  // System stakes.
  void addSystemStakes();
  void editSelectedSystemStake();
  void deleteSelectedSystemStake();
  void deleteAllSystemStakes();
  void lineUpSystemStakes();
  void systemGridKeyPressed(int key);
  void loadSystemStakes();
  bool saveSystemStakes();  // true once the system stakes are safely written

  // Collations and the check.
  void collateStakesWithStakes();
  void collateStakesWithDraws();
  void collateSystemWithDraws();
  void collateSystemWithSystem();
  void collateAllWithDraws();
  void enterCombination();
  void clearCombination();
  void checkCombination();
  void addCombinationToStakes();
  void collateWithStakesChosen();
  void collateWithDrawsChosen();
  void showThreesList();
  void showFoursList();
  void showFivesList();
  void showSixesList();

  // Results > From Internet.
  void downloadResults();
  // Where the download fetches from; the publisher's address unless a test points it elsewhere.
  void setDownloadUrl(const QString& url) { m_downloadUrl = url; }

  // Help, information and options.
  void openHelp();
  void showAbout();
  void showOptions();
  void openPublisherPage();
  // The help page that tells of the tab shown, e.g. "check.html".
  QString helpPageOfCurrentTab() const;
  // The program's own help window, once Help has opened it.
  HelpWindow* helpWindow() const { return m_helpWindow; }

  // The keys of a desktop program: Ctrl+O and Ctrl+S load and save the list of the tab shown,
  // Ctrl+Q exits, F1 opens the help.
  void loadListOfCurrentTab();
  void saveListOfCurrentTab();
  // Loads a stakes file named on the command line, as Stakes > Load does after its dialog.
  void loadStakesFromFile(const QString& path);
  // Writes M and the language into the settings file; a failure is thrown as the user's error.
  void writeSettings();

  // The result panel of the Check tab back to its empty, greyed state.
  void resetMatchPanel();
  void clearStakeMatchColumns();
  void clearSystemMatchColumns();
  void showMatchCounts();
  // The lists of the last collation or check, by category (0 for three common numbers).
  const std::array<tallyra::ListPtr, 4>& matchLists() const { return m_lists; }
  // Puts an outcome on the result panel and into the grids' count columns.
  void applyOutcome(const tallyra::Outcome& outcome);
  std::array<int64_t, 4> matchTotals() const { return m_totals; }

  // Brings a tab forward from code, with the tab images following.
  void showTab(QWidget* tab);
  // Runs a piece of a handler; what it throws is shown and the program goes on.
  template <typename F>
  void runGuarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }

  // Controls.
  platform::ClickLabel* bannerRussian = nullptr;
  platform::ClickLabel* bannerEnglish = nullptr;
  QTabWidget* tabs = nullptr;
  QWidget* stakesTab = nullptr;
  QWidget* systemTab = nullptr;
  QWidget* resultsTab = nullptr;
  QWidget* checkTab = nullptr;
  QWidget* statisticsTab = nullptr;
  platform::StringGrid* stakesGrid = nullptr;
  platform::StringGrid* systemGrid = nullptr;
  platform::StringGrid* resultsGrid = nullptr;
  QPushButton* addStakeButton = nullptr;
  QPushButton* deleteStakeButton = nullptr;
  QPushButton* collateStakesButton = nullptr;
  QPushButton* addSystemButton = nullptr;
  QPushButton* deleteSystemButton = nullptr;
  QPushButton* collateSystemButton = nullptr;
  QPushButton* collateDrawsWithStakesButton = nullptr;
  QPushButton* collateDrawsWithSystemButton = nullptr;
  QPushButton* collateDrawsWithAllButton = nullptr;
  QLabel* combinationCaption = nullptr;
  std::vector<QLabel*> combinationCells;  // [1]..[12]; [0] unused
  QGroupBox* collateWithBox = nullptr;
  QRadioButton* withStakesRadio = nullptr;
  QCheckBox* includeSystemBox = nullptr;
  QRadioButton* withDrawsRadio = nullptr;
  QGroupBox* checkResultsBox = nullptr;
  QLabel* sixesCaption = nullptr;
  QLabel* fivesCaption = nullptr;
  QLabel* foursCaption = nullptr;
  QLabel* threesCaption = nullptr;
  QLabel* threesCount = nullptr;
  QLabel* foursCount = nullptr;
  QLabel* fivesCount = nullptr;
  QLabel* sixesCount = nullptr;
  platform::ClickLabel* threesList = nullptr;
  platform::ClickLabel* foursList = nullptr;
  platform::ClickLabel* fivesList = nullptr;
  platform::ClickLabel* sixesList = nullptr;
  QPushButton* enterCombinationButton = nullptr;
  QPushButton* clearCombinationButton = nullptr;
  QPushButton* checkCombinationButton = nullptr;
  QPushButton* addCombinationButton = nullptr;
  std::vector<QLabel*> statusPanels;
  QLabel* statusPanel(StatusPanel panel) const {
    return statusPanels[static_cast<std::size_t>(panel)];
  }  // the seven status bar panels

  // Menus and their items.
  QMenu* stakesMenu = nullptr;
  QAction *loadStakesAction = nullptr, *saveStakesAction = nullptr, *stakesSeparator = nullptr,
          *collateStakesAction = nullptr, *deleteAllStakesAction = nullptr;
  QMenu* systemMenu = nullptr;
  QAction *loadSystemAction = nullptr, *saveSystemAction = nullptr, *systemSeparator = nullptr,
          *collateSystemAction = nullptr, *deleteAllSystemAction = nullptr;
  QMenu* resultsMenu = nullptr;
  QAction *loadResultsAction = nullptr, *downloadResultsAction = nullptr,
          *resultsSeparator = nullptr;
  QMenu* collateWithMenu = nullptr;
  QAction *collateWithStakesAction = nullptr, *collateWithSystemAction = nullptr,
          *collateWithAllAction = nullptr;
  QMenu* checkMenu = nullptr;
  QAction *enterCombinationAction = nullptr, *checkSeparator = nullptr,
          *checkStakesAction = nullptr;
  QMenu* optionsMenu = nullptr;
  QMenu* languageMenu = nullptr;
  QAction *englishAction = nullptr, *russianAction = nullptr, *optionsSeparator = nullptr,
          *preferencesAction = nullptr;
  QMenu* helpMenu = nullptr;
  QAction *helpAction = nullptr, *helpSeparator = nullptr, *aboutAction = nullptr;
  QAction* exitAction = nullptr;
  QMenu* stakesPopup = nullptr;
  QAction *addStakeItem = nullptr, *deleteStakeItem = nullptr, *editStakeItem = nullptr,
          *stakesPopupSeparator = nullptr, *lineUpStakesItem = nullptr;
  QMenu* systemPopup = nullptr;
  QAction *addSystemItem = nullptr, *deleteSystemItem = nullptr, *editSystemItem = nullptr,
          *systemPopupSeparator = nullptr, *lineUpSystemItem = nullptr;

  // The shared file dialogs' settings.
  platform::FileDialogOptions openOptions;
  platform::FileDialogOptions saveOptions;

  // Tab images: 0 marks the shown tab, 2 every other one.
  std::vector<QIcon> tabImages;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildLayout();
  // The grids' cells, read from the Workspace; bound once, when the Workspace exists.
  void bindListCells();
  void buildMenus();
  void bindHandlers();
  void addDesktopKeys();
  void readSettings();
  // Reads a record-line file into a list; the user hears of every problem at once. Returns
  // false when nothing could be read. What the user should know of a load that went through
  // (draws left out, an unfinished last line) comes back in `notice`, to be shown once the
  // grids show the load.
  bool loadRecordFile(const QString& path, tallyra::TableRef table, int32_t& count, bool keepLatest,
                      QString& notice);
  void showLoadNotice(const QString& notice);
  void showPlainMessage(tallyra::TextId id);
  void setPanel(StatusPanel panel, int32_t value);
  // What the commands shared by the stakes and the system stakes need of a list.
  struct ListOfStakes {
    platform::StringGrid* grid;
    tallyra::TableRef table;
    int32_t& count;
    int columns;
    StatusPanel panel;  // status bar panel of the count
    QWidget* tab;
    QString fileName;  // preset in the file dialogs
    tallyra::TextId askDeleteAll;
  };
  ListOfStakes stakesList();
  ListOfStakes systemList();
  // The entry dialog for editing the selected row of a grid: boxes 1..boxes filled from the
  // grid's cells; what is confirmed replaces the row's numbers.
  void openEntryForEdit(const ListOfStakes& list, int boxes, EntryMode mode);
  // Appends a new stake or system stake typed in the entry dialog; a refusal is the text to
  // tell the user.
  std::optional<tallyra::TextId> storeEntry(EntryMode mode, const std::array<int32_t, 12>& numbers);
  void entryStored(EntryMode mode);
  void entryModeSwitched(EntryMode mode);
  // Empties a list's grid: two rows, the first blank, no counts, its panel "0".
  void showEmptyList(const ListOfStakes& list);
  // Removes the selected row of a list, its count cells moving up with the rows below.
  void deleteSelectedRow(const ListOfStakes& list);
  void deleteAllRows(const ListOfStakes& list);
  void loadList(const ListOfStakes& list);
  // Writes a list through the save dialog; true once it is safely written.
  bool saveList(const ListOfStakes& list, const std::string& text);

  // Runs a collation: the guard, the prologue, the run off the GUI thread, the outcome shown.
  void runCollation(tallyra::CollationKind kind);
  void showList(int category);

  std::unique_ptr<tallyra::Workspace> m_ws;
  // The dialogs, created with the window and hidden between uses.
  EntryDialog* m_entryDialog = nullptr;
  ListViewer* m_listViewer = nullptr;
  AboutDialog* m_aboutDialog = nullptr;
  OptionsDialog* m_optionsDialog = nullptr;
  HelpWindow* m_helpWindow = nullptr;  // made when first needed
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
