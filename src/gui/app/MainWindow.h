#pragma once

#include <QIcon>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "collate/Collation.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"
#include "platform/Handler.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;

class AboutDialog;
class AnalysisCommands;
class CheckPage;
class EntryDialog;
class GeneratorCommands;
class HelpCommands;
class HelpWindow;
class ListPage;
class ListViewer;
class OptionsDialog;
class ResultsPage;
class StatisticsPage;
class WheelsCommands;
class WinningsCommands;
enum class EntryMode;

namespace platform {
class ClickLabel;
}  // namespace platform

// The main window: it builds the menus and the status bar, owns the Workspace, the tabs (one
// page class each), the dialogs and the help, winnings, wheels, analysis and generator commands,
// and routes the menus' commands to them. Controls carry the names of the layout as their object
// names. The program's own files are those of the data folder `files`; the window hands it on to
// the tabs, the dialogs and the commands that open one of them.
class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const tallyra::DataFiles& files, QWidget* parent = nullptr);
  ~MainWindow() override;

  tallyra::Workspace& workspace() { return *m_ws; }
  // Shows the Workspace's lists again after they were changed from outside the tabs.
  void refreshGrids();
  // Loads a stakes file named on the command line, as Stakes > Load does after its dialog; what
  // goes wrong is shown and the program goes on.
  void loadStakesFromFile(const QString& path);
  // Where the download fetches from; the publisher's address unless a test points it elsewhere.
  void setDownloadUrl(const QString& url);
  // The program's own help window, once Help has opened it; that of a modal dialog is the
  // dialog's child.
  HelpWindow* helpWindow() const;
  // The lists of the last collation or check, by category (0 for three common numbers), and
  // their lengths.
  const std::array<tallyra::ListPtr, 4>& matchLists() const;
  std::array<int64_t, 4> matchTotals() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  // Stakes and System stakes: routed to their tabs.
  void loadStakes();
  bool saveStakes();  // true once the stakes are safely written
  void deleteAllStakes();
  void importStakes();
  // Stakes > Generate stakes through filters: routed to its commands.
  void generateStakes();
  void loadSystemStakes();
  bool saveSystemStakes();  // true once the system stakes are safely written
  void deleteAllSystemStakes();
  void importSystemStakes();

  // Results: routed to the Results tab. Import shows a file from the wild in the preview first.
  void loadResults();
  void downloadResults();
  void importResults();
  // Results > Analysis of the draws and the Statistics tab's button: routed to their commands.
  void showAnalysis();

  // Collations and the check: routed to the Check tab.
  void collateStakesWithStakes();
  void collateStakesWithDraws();
  void collateSystemWithDraws();
  void collateSystemWithSystem();
  void collateAllWithDraws();
  void enterCombination();
  void checkCombination();
  // Check > Winnings and Wheels..., Options > Prizes: routed to their commands.
  void showWinnings();
  void openWheels();
  void editPrizes();

  // Options, Help and the banners.
  void chooseLanguage(QAction* sender);
  void showOptions();
  void openHelp();
  void showAbout();
  void openPublisherPage();
  void exitProgram();

  // The keys of a desktop program: Ctrl+O and Ctrl+S load and save the list of the tab shown
  // (Ctrl+Q and F1 are the menus' own).
  void loadListOfCurrentTab();
  void saveListOfCurrentTab();

  // Brings a tab forward from code, with the tab images following.
  void showTab(QWidget* tab);
  void updateTabImages();

 private:
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

  // Runs a piece of a handler; what it throws is shown and the program goes on.
  template <typename F>
  void runGuarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }
  // The current interface language's text of a pair.
  QString T(tallyra::TextId id) const;

  void buildLayout();
  void buildMenus();
  void bindHandlers();
  void addDesktopKeys();
  // Connects what the tabs tell of themselves to the window and to each other.
  void connectPages();
  void readSettings();
  // Writes M and the language into the settings file; a failure is thrown as the user's error.
  void writeSettings();
  // The game chosen by name, kept in preferences.ini ("" for a plain "6 of M"), and its keeping
  // with a new M, as Options and the import preview set them.
  std::string gameId() const;
  void keepGame(int32_t highestNumber, const std::string& gameId);
  void onFirstShow();
  void applyTexts();
  bool confirmClose();  // false keeps the window open
  // The help page that tells of the tab shown, e.g. "check.html".
  QString helpPageOfCurrentTab() const;
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
          *collateStakesAction = nullptr, *deleteAllStakesAction = nullptr,
          *importStakesAction = nullptr, *generateAction = nullptr;
  QMenu* systemMenu = nullptr;
  QAction *loadSystemAction = nullptr, *saveSystemAction = nullptr, *systemSeparator = nullptr,
          *collateSystemAction = nullptr, *deleteAllSystemAction = nullptr,
          *importSystemAction = nullptr;
  QMenu* resultsMenu = nullptr;
  QAction *loadResultsAction = nullptr, *downloadResultsAction = nullptr,
          *resultsSeparator = nullptr, *importResultsAction = nullptr, *analysisAction = nullptr;
  QMenu* collateWithMenu = nullptr;
  QAction *collateWithStakesAction = nullptr, *collateWithSystemAction = nullptr,
          *collateWithAllAction = nullptr;
  QMenu* checkMenu = nullptr;
  QAction *enterCombinationAction = nullptr, *checkSeparator = nullptr,
          *checkStakesAction = nullptr, *winningsAction = nullptr, *wheelsAction = nullptr;
  QMenu* optionsMenu = nullptr;
  QMenu* languageMenu = nullptr;
  QAction *englishAction = nullptr, *russianAction = nullptr, *optionsSeparator = nullptr,
          *preferencesAction = nullptr, *prizesAction = nullptr;
  QMenu* helpMenu = nullptr;
  QAction *helpAction = nullptr, *helpSeparator = nullptr, *aboutAction = nullptr;
  QAction* exitAction = nullptr;

  // Tab images: 0 marks the shown tab, 2 every other one.
  std::vector<QIcon> tabImages;

  // The shared file dialogs' settings: the tabs' and dialogs' file dialogs start from these.
  platform::FileDialogOptions openOptions;
  platform::FileDialogOptions saveOptions;

  const tallyra::DataFiles m_files;
  std::unique_ptr<tallyra::Workspace> m_ws;
  // The dialogs, created with the window and hidden between uses.
  EntryDialog* m_entryDialog = nullptr;
  ListViewer* m_listViewer = nullptr;
  AboutDialog* m_aboutDialog = nullptr;
  OptionsDialog* m_optionsDialog = nullptr;
  // The commands of the help, the winnings and the wheels, with the dialogs they make.
  std::unique_ptr<HelpCommands> m_help;
  std::unique_ptr<WinningsCommands> m_winnings;
  std::unique_ptr<WheelsCommands> m_wheels;
  std::unique_ptr<AnalysisCommands> m_analysis;
  std::unique_ptr<GeneratorCommands> m_generator;
  // The tabs.
  ListPage* m_stakesPage = nullptr;
  ListPage* m_systemPage = nullptr;
  ResultsPage* m_resultsPage = nullptr;
  CheckPage* m_checkPage = nullptr;
  StatisticsPage* m_statisticsPage = nullptr;
  bool m_shown = false;
};
