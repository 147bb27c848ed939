#pragma once

#include <QIcon>
#include <QMainWindow>
#include <memory>
#include <vector>

#include "collate/Collation.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"
#include "platform/Handler.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

class AboutDialog;
class CheckPage;
class ListPage;
class ResultsPage;
class EntryDialog;
class HelpWindow;
class ListViewer;
class OptionsDialog;
class StatisticsPage;
enum class EntryMode;

namespace platform {
class ClickLabel;
}  // namespace platform

// The main window: it builds the menus and the status bar, owns the Workspace, the tabs (one
// page class each) and the dialogs, and routes the menus' commands to the tabs. Controls carry
// the names of the layout as their object names.
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

  void onFirstShow();
  bool confirmClose();  // false keeps the window open
  void updateTabImages();
  void exitProgram();
  void chooseLanguage(QAction* sender);
  void loadResults();
  void applyTexts();
  void loadStartupResults();
  void refreshGrids();

  // Stakes: routed to the Stakes tab.
  void addStakes();
  void editSelectedStake();
  void deleteSelectedStake();
  void deleteAllStakes();
  void lineUpStakes();
  void stakesGridKeyPressed(int key);
  void loadStakes();
  bool saveStakes();  // true once the stakes are safely written

  // System stakes: routed to the System stakes tab.
  void addSystemStakes();
  void editSelectedSystemStake();
  void deleteSelectedSystemStake();
  void deleteAllSystemStakes();
  void lineUpSystemStakes();
  void systemGridKeyPressed(int key);
  void loadSystemStakes();
  bool saveSystemStakes();  // true once the system stakes are safely written

  // Collations and the check: routed to the Check tab.
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
  // Check > Wheels...: builds and checks wheels over a pool; a wheel may join the stakes.
  void openWheels();

  // Results > From Internet: routed to the Results tab.
  void downloadResults();
  // Where the download fetches from; the publisher's address unless a test points it elsewhere.
  void setDownloadUrl(const QString& url);

  // Results, Stakes and System > Import...: a file from the wild, shown in the preview first;
  // routed to the tabs.
  void importResults();
  void importStakes();
  void importSystemStakes();

  // Help, information and options. openHelpAt shows a page of the help (e.g. "wheels.html")
  // for the window `over`: a modal dialog gets a help window of its own, as the window's one
  // would wait behind the dialog.
  void openHelp();
  void openHelpAt(const QString& page, QWidget* over);
  void showAbout();
  void showOptions();
  void openPublisherPage();
  // The help page that tells of the tab shown, e.g. "check.html".
  QString helpPageOfCurrentTab() const;
  // The program's own help window, once Help has opened it; that of a modal dialog is the
  // dialog's child.
  HelpWindow* helpWindow() const { return m_helpWindow; }

  // The keys of a desktop program: Ctrl+O and Ctrl+S load and save the list of the tab shown,
  // Ctrl+Q exits, F1 opens the help.
  void loadListOfCurrentTab();
  void saveListOfCurrentTab();
  // Loads a stakes file named on the command line, as Stakes > Load does after its dialog.
  void loadStakesFromFile(const QString& path);
  // Writes M and the language into the settings file; a failure is thrown as the user's error.
  void writeSettings();

  // Options > Prizes and Check > Winnings; the menu items' texts and the open report follow
  // the interface language.
  void editPrizes();
  void showWinnings();
  void applyWinningsTexts();

  // The result panel of the Check tab back to its empty, greyed state.
  void resetMatchPanel();
  void clearStakeMatchColumns();
  void clearSystemMatchColumns();
  // The lists of the last collation or check, by category (0 for three common numbers).
  const std::array<tallyra::ListPtr, 4>& matchLists() const;
  // Puts an outcome on the result panel and into the grids' count columns.
  void applyOutcome(const tallyra::Outcome& outcome);
  std::array<int64_t, 4> matchTotals() const;

  // Brings a tab forward from code, with the tab images following.
  void showTab(QWidget* tab);
  // Runs a piece of a handler; what it throws is shown and the program goes on.
  template <typename F>
  void runGuarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }

  // The shared file dialogs' settings: the tabs' and dialogs' file dialogs start from these.
  platform::FileDialogOptions openOptions;
  platform::FileDialogOptions saveOptions;

 protected:
  // F1 in a dialog that names its page of the help (platform::SetHelpTopic) opens that page.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildLayout();
  void buildMenus();
  void bindHandlers();
  void addDesktopKeys();
  // Connects what the tabs tell of themselves to the window and to each other.
  void connectPages();
  void readSettings();
  void showPlainMessage(tallyra::TextId id);
  void setPanel(StatusPanel panel, int32_t value);
  QLabel* statusPanel(StatusPanel panel) const {
    return m_statusPanels[static_cast<std::size_t>(panel)];
  }
  // The entry dialog told that an entry was stored, or that it moved to the other list.
  void entryStored(EntryMode mode);
  void entryModeSwitched(EntryMode mode);

  // Controls: the banners, the tabs and the status bar's seven panels.
  platform::ClickLabel* bannerRussian = nullptr;
  platform::ClickLabel* bannerEnglish = nullptr;
  QTabWidget* tabs = nullptr;
  QWidget* stakesTab = nullptr;
  QWidget* systemTab = nullptr;
  QWidget* resultsTab = nullptr;
  QWidget* checkTab = nullptr;
  QWidget* statisticsTab = nullptr;
  std::vector<QLabel*> m_statusPanels;

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
  QAction* wheelsAction = nullptr;
  QMenu* optionsMenu = nullptr;
  QMenu* languageMenu = nullptr;
  QAction *englishAction = nullptr, *russianAction = nullptr, *optionsSeparator = nullptr,
          *preferencesAction = nullptr;
  QMenu* helpMenu = nullptr;
  QAction *helpAction = nullptr, *helpSeparator = nullptr, *aboutAction = nullptr;
  QAction* exitAction = nullptr;

  // Tab images: 0 marks the shown tab, 2 every other one.
  std::vector<QIcon> tabImages;

  std::unique_ptr<tallyra::Workspace> m_ws;
  // The dialogs, created with the window and hidden between uses.
  EntryDialog* m_entryDialog = nullptr;
  ListViewer* m_listViewer = nullptr;
  AboutDialog* m_aboutDialog = nullptr;
  OptionsDialog* m_optionsDialog = nullptr;
  HelpWindow* m_helpWindow = nullptr;  // made when first needed
  // The tabs.
  ListPage* m_stakesPage = nullptr;
  ListPage* m_systemPage = nullptr;
  ResultsPage* m_resultsPage = nullptr;
  CheckPage* m_checkPage = nullptr;
  StatisticsPage* m_statisticsPage = nullptr;
  bool m_shown = false;
};
