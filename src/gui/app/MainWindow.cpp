#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>
#include <span>

#include "app/AnalysisCommands.h"
#include "app/Artwork.h"
#include "app/GeneratorCommands.h"
#include "app/HelpCommands.h"
#include "app/WheelsCommands.h"
#include "app/WinningsCommands.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/EntryDialog.h"
#include "dialogs/ListViewer.h"
#include "dialogs/OptionsDialog.h"
#include "import/Games.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "model/Settings.h"
#include "pages/CheckPage.h"
#include "pages/ListPage.h"
#include "pages/PageLayout.h"
#include "pages/ResultsPage.h"
#include "pages/StatisticsPage.h"
#include "platform/ClickLabel.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace {

constexpr int kClientWidth = 737;
constexpr int kClientHeight = 449;
constexpr int kStatusHeight = 19;

using layout::Item;
using layout::Menu;
using layout::Place;
using layout::Separator;

}  // namespace

MainWindow::MainWindow(const tallyra::DataFiles& files, QWidget* parent)
    : QMainWindow(parent), m_files(files) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  // The Workspace first: the tabs show it.
  m_ws = tallyra::CreateWorkspace();
  openOptions = {QString(),
                 QStringLiteral("Stavka.txt"),
                 {},  // the filters and titles follow the language
                 QStringLiteral("txt"),
                 false};
  saveOptions = {QString(), QStringLiteral("Stavka.txt"), {}, QStringLiteral("txt"), true};
  // The dialogs, kept until the end and hidden between uses; the tabs open them.
  const LanguageSource language = [this] { return m_ws->Language; };
  m_entryDialog = new EntryDialog(this, language);
  m_listViewer = new ListViewer(this, language, m_files);
  m_aboutDialog = new AboutDialog(this, language);
  m_optionsDialog = new OptionsDialog(this, language);
  m_help = std::make_unique<HelpCommands>(*this, language, *m_aboutDialog, m_files);
  m_winnings = std::make_unique<WinningsCommands>(*this, *m_ws, language, m_files);
  m_wheels = std::make_unique<WheelsCommands>(*this, *m_ws, language, m_files, [this] {
    refreshGrids();
    showTab(stakesTab);
  });
  m_analysis = std::make_unique<AnalysisCommands>(*this, *m_ws, language, m_files);
  // What the generator makes joins the stakes as an import's rows do, or goes to the wheels.
  m_generator = std::make_unique<GeneratorCommands>(
      *this, *m_ws, language, m_files,
      [this](const std::vector<tallyra::AnalysisDraw>& rows) {
        return m_stakesPage->putRows(
            static_cast<int>(rows.size()),
            [&rows](int i) { return std::span<const int32_t>(rows[static_cast<std::size_t>(i)]); },
            TextId::TxtGenAskAppend, TextId::TxtGenNoRoom);
      },
      [this](const std::vector<int32_t>& pool) { m_wheels->openWheels(pool); });

  buildLayout();
  bindHandlers();
  addDesktopKeys();
  connectPages();
  readSettings();
  platform::UseQtLanguage(m_ws->Language);
  m_checkPage->resetMatchPanel();

  connect(m_entryDialog, &EntryDialog::entered, this,
          [this](EntryMode mode) { runGuarded([&] { entryStored(mode); }); });
  connect(m_entryDialog, &EntryDialog::modeSwitched, this,
          [this](EntryMode mode) { runGuarded([&] { entryModeSwitched(mode); }); });
  connect(m_entryDialog, &EntryDialog::systemBoxToggled, this,
          [this] { runGuarded([&] { updateTabImages(); }); });
  // Last, so that a constructor that throws leaves no language pointing at a window half made.
  platform::SetEscapedErrorLanguage(language);
}

MainWindow::~MainWindow() {
  platform::SetEscapedErrorLanguage({});
}

QString MainWindow::T(TextId id) const {
  return platform::Tr(id, m_ws->Language);
}

// The window's controls, menus and status bar, placed at the layout's pixel positions.

void MainWindow::buildLayout() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowIcon(artwork::WindowIcon());

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
  // Arial where it is installed, otherwise the font made with Arial's metrics.
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPixelSize(14);
  client->setFont(font);
  setCentralWidget(client);

  bannerRussian = Place(new platform::ClickLabel(client), "Image1", 8, 2, 721, 20);
  bannerEnglish = Place(new platform::ClickLabel(client), "Image2", 8, 2, 721, 20);
  bannerRussian->setPixmap(artwork::Banner(0));
  bannerEnglish->setPixmap(artwork::Banner(1));
  for (QLabel* banner : {bannerRussian, bannerEnglish}) banner->setCursor(Qt::PointingHandCursor);

  tabs = Place(new QTabWidget(client), "PageControl", 8, 23, 721, 425);
  tabs->setDocumentMode(false);
  tabs->tabBar()->setExpanding(false);
  // Tabs drawn as buttons.
  tabs->setStyleSheet(QStringLiteral(
      "QTabWidget::pane { border: none; }"
      "QTabBar { font-family: Arial, 'Liberation Sans'; font-size: 14px; }"
      "QTabBar::tab { border: 2px outset #d8d8d8; background: #ececec; padding: 3px 10px;"
      " margin-right: 3px; min-height: 18px; }"
      "QTabBar::tab:selected { border: 2px inset #d8d8d8; background: #f8f8f8; }"));
  tabImages = artwork::TabImages();
  const char* tabNames[] = {"TS1", "TS2", "TS3", "TS4", "TS5"};
  QWidget** pages[] = {&stakesTab, &systemTab, &resultsTab, &checkTab, &statisticsTab};
  for (int i = 0; i < 5; ++i) {
    *pages[i] = new QWidget;
    (*pages[i])->setObjectName(QString::fromLatin1(tabNames[i]));
    tabs->addTab(*pages[i], QString());
  }

  // The tabs, each a page of its own.
  const LanguageSource language = [this] { return m_ws->Language; };
  m_stakesPage = new ListPage(ListKind::Stakes, stakesTab, this, *m_ws, language, *m_entryDialog,
                              m_files, openOptions, saveOptions);
  m_systemPage = new ListPage(ListKind::SystemStakes, systemTab, this, *m_ws, language,
                              *m_entryDialog, m_files, openOptions, saveOptions);
  m_resultsPage = new ResultsPage(resultsTab, *m_ws, language, m_files, openOptions);
  m_checkPage =
      new CheckPage(checkTab, *m_ws, language, *m_entryDialog, *m_listViewer, saveOptions);
  m_statisticsPage = new StatisticsPage(statisticsTab, this, *m_ws, language, m_files);

  // Status bar: labels right-aligned without bevel, counts in sunken panels. The bar's own
  // item layout keeps 5 pixels above and below its items, more than a 19-pixel bar has room
  // for, so the panels sit in a row of their own that spans the whole bar.
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("SBar"));
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(kStatusHeight);
  auto* panels = new QWidget(bar);
  panels->setObjectName(QStringLiteral("SBarPanels"));
  panels->setGeometry(0, 0, kClientWidth, kStatusHeight);
  auto* panelRow = new QHBoxLayout(panels);
  panelRow->setContentsMargins(2, 1, 0, 1);
  panelRow->setSpacing(6);
  QFont small = font;
  small.setPixelSize(11);
  const int widths[] = {115, 50, 115, 50, 115, 50, 50};
  for (int i = 0; i < 7; ++i) {
    auto* panel = new QLabel(panels);
    panel->setObjectName(QStringLiteral("SBarPanel%1").arg(i));
    panel->setFixedSize(widths[i], kStatusHeight - 2);
    panel->setFont(small);
    const bool label = i == 0 || i == 2 || i == 4;
    panel->setAlignment(label ? Qt::AlignRight | Qt::AlignVCenter
                              : Qt::AlignLeft | Qt::AlignVCenter);
    if (!label && i != 6) panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i == 1 || i == 3 || i == 5) panel->setText(QStringLiteral("0"));
    panelRow->addWidget(panel);
    m_statusPanels.push_back(panel);
  }
  panelRow->addStretch(1);

  // The style may give buttons or headers fonts of their own; the layout's font wins.
  for (QWidget* child : client->findChildren<QWidget*>()) child->setFont(font);
  m_checkPage->applyFonts(font);

  buildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  stakesMenu = Menu(this, "N1");
  loadStakesAction = Item(stakesMenu, "N6");
  saveStakesAction = Item(stakesMenu, "N7");
  stakesSeparator = Separator(stakesMenu, "N8");
  collateStakesAction = Item(stakesMenu, "N9");
  deleteAllStakesAction = Item(stakesMenu, "N22");
  importStakesAction = Item(stakesMenu, "ImportStakesItem");
  generateAction = Item(stakesMenu, "GenerateItem");

  systemMenu = Menu(this, "C1");
  loadSystemAction = Item(systemMenu, "N31");
  saveSystemAction = Item(systemMenu, "N32");
  systemSeparator = Separator(systemMenu, "N33");
  collateSystemAction = Item(systemMenu, "N34");
  deleteAllSystemAction = Item(systemMenu, "N35");
  importSystemAction = Item(systemMenu, "ImportSystemItem");

  resultsMenu = Menu(this, "N2");
  loadResultsAction = Item(resultsMenu, "N10");
  downloadResultsAction = Item(resultsMenu, "N42");
  resultsSeparator = Separator(resultsMenu, "N12");
  collateWithMenu = Menu(resultsMenu, "N13");
  resultsMenu->addMenu(collateWithMenu);
  collateWithStakesAction = Item(collateWithMenu, "N23");
  collateWithSystemAction = Item(collateWithMenu, "N24");
  collateWithAllAction = Item(collateWithMenu, "N25");
  importResultsAction = Item(resultsMenu, "ImportResultsItem");
  analysisAction = Item(resultsMenu, "AnalysisItem");

  checkMenu = Menu(this, "N3");
  enterCombinationAction = Item(checkMenu, "N14");
  checkSeparator = Separator(checkMenu, "N15");
  checkStakesAction = Item(checkMenu, "N16");
  winningsAction = Item(checkMenu, "WinningsItem");
  wheelsAction = Item(checkMenu, "WheelsItem");

  optionsMenu = Menu(this, "N43");
  languageMenu = Menu(optionsMenu, "Language1");
  optionsMenu->addMenu(languageMenu);
  englishAction = Item(languageMenu, "Eng");
  russianAction = Item(languageMenu, "Rus");
  englishAction->setCheckable(true);
  russianAction->setCheckable(true);
  optionsSeparator = Separator(optionsMenu, "N44");
  preferencesAction = Item(optionsMenu, "Y1");
  prizesAction = Item(optionsMenu, "PrizesItem");

  helpMenu = Menu(this, "Help");
  helpAction = Item(helpMenu, "N4");
  helpSeparator = Separator(helpMenu, "N36");
  aboutAction = Item(helpMenu, "N11");

  for (QMenu* menu : {stakesMenu, systemMenu, resultsMenu, checkMenu, optionsMenu, helpMenu})
    bar->addMenu(menu);
  exitAction = bar->addAction(QString());
  exitAction->setObjectName(QStringLiteral("N5"));
}

void MainWindow::bindHandlers() {
  auto bind = [this](QAction* action, auto handler) {
    connect(action, &QAction::triggered, this,
            [this, handler] { runGuarded([&] { std::invoke(handler, *this); }); });
  };
  bind(exitAction, &MainWindow::exitProgram);
  bind(loadResultsAction, &MainWindow::loadResults);
  bind(downloadResultsAction, &MainWindow::downloadResults);
  bind(importResultsAction, &MainWindow::importResults);
  bind(analysisAction, &MainWindow::showAnalysis);
  bind(loadStakesAction, &MainWindow::loadStakes);
  bind(saveStakesAction, [](MainWindow& w) { w.saveStakes(); });
  bind(collateStakesAction, &MainWindow::collateStakesWithStakes);
  bind(deleteAllStakesAction, &MainWindow::deleteAllStakes);
  bind(importStakesAction, &MainWindow::importStakes);
  bind(generateAction, &MainWindow::generateStakes);
  bind(loadSystemAction, &MainWindow::loadSystemStakes);
  bind(saveSystemAction, [](MainWindow& w) { w.saveSystemStakes(); });
  bind(collateSystemAction, &MainWindow::collateSystemWithSystem);
  bind(deleteAllSystemAction, &MainWindow::deleteAllSystemStakes);
  bind(importSystemAction, &MainWindow::importSystemStakes);
  bind(collateWithStakesAction, &MainWindow::collateStakesWithDraws);
  bind(collateWithSystemAction, &MainWindow::collateSystemWithDraws);
  bind(collateWithAllAction, &MainWindow::collateAllWithDraws);
  bind(enterCombinationAction, &MainWindow::enterCombination);
  bind(checkStakesAction, &MainWindow::checkCombination);
  bind(winningsAction, &MainWindow::showWinnings);
  bind(wheelsAction, &MainWindow::openWheels);
  bind(prizesAction, &MainWindow::editPrizes);
  bind(helpAction, &MainWindow::openHelp);
  bind(aboutAction, &MainWindow::showAbout);
  bind(preferencesAction, &MainWindow::showOptions);
  for (platform::ClickLabel* banner : {bannerRussian, bannerEnglish}) {
    connect(banner, &platform::ClickLabel::clicked, this,
            [this] { runGuarded([&] { openPublisherPage(); }); });
  }
  for (QAction* item : {englishAction, russianAction}) {
    connect(item, &QAction::triggered, this,
            [this, item] { runGuarded([&] { chooseLanguage(item); }); });
  }
  connect(tabs, &QTabWidget::currentChanged, this,
          [this] { runGuarded([&] { updateTabImages(); }); });
}

// The keys every desktop program has: open, save and quit, and F1 for the help.

void MainWindow::addDesktopKeys() {
  auto* load = new QAction(this);
  load->setObjectName(QStringLiteral("LoadKey"));
  load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  addAction(load);
  connect(load, &QAction::triggered, this, [this] { runGuarded([&] { loadListOfCurrentTab(); }); });
  auto* save = new QAction(this);
  save->setObjectName(QStringLiteral("SaveKey"));
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  addAction(save);
  connect(save, &QAction::triggered, this, [this] { runGuarded([&] { saveListOfCurrentTab(); }); });
  // The menu's own items carry these, so the menus show the keys too.
  exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  helpAction->setShortcut(QKeySequence(Qt::Key_F1));
}

void MainWindow::loadListOfCurrentTab() {
  const QWidget* tab = tabs->currentWidget();
  if (tab == stakesTab) {
    loadStakes();
  } else if (tab == systemTab) {
    loadSystemStakes();
  } else if (tab == resultsTab) {
    loadResults();
  }
}

void MainWindow::saveListOfCurrentTab() {
  // The draw history is written only by the download, so the Results tab saves nothing.
  const QWidget* tab = tabs->currentWidget();
  if (tab == stakesTab) {
    saveStakes();
  } else if (tab == systemTab) {
    saveSystemStakes();
  }
}

void MainWindow::connectPages() {
  m_resultsPage->setGameChoice([this] {
    return ImportDialog::GameChoice{
        gameId(), [this](int32_t highest, const std::string& id) { keepGame(highest, id); }};
  });
  for (ListPage* page : {m_stakesPage, m_systemPage}) {
    connect(page, &ListPage::listChanged, this, &MainWindow::refreshGrids);
    connect(page, &ListPage::showTabRequested, this, &MainWindow::showTab);
    connect(page, &ListPage::emptied, m_checkPage, &CheckPage::resetMatchPanel);
    const StatusPanel panel =
        page == m_stakesPage ? StatusPanel::StakeCount : StatusPanel::SystemCount;
    connect(page, &ListPage::countShown, this,
            [this, panel](int32_t count) { setPanel(panel, count); });
  }
  connect(m_stakesPage, &ListPage::collateRequested, this, &MainWindow::collateStakesWithStakes);
  connect(m_systemPage, &ListPage::collateRequested, this, &MainWindow::collateSystemWithSystem);

  connect(m_resultsPage, &ResultsPage::listChanged, this, &MainWindow::refreshGrids);
  connect(m_resultsPage, &ResultsPage::countShown, this,
          [this](int32_t count) { setPanel(StatusPanel::DrawCount, count); });
  connect(m_resultsPage, &ResultsPage::drawsLoaded, this, [this] {
    m_statisticsPage->compute();
    m_statisticsPage->show();
    m_analysis->drawsChanged();
  });
  connect(m_resultsPage, &ResultsPage::collateRequested, m_checkPage, &CheckPage::collate);

  connect(m_statisticsPage, &StatisticsPage::analysisRequested, this,
          [this] { runGuarded([&] { showAnalysis(); }); });

  connect(m_checkPage, &CheckPage::listChanged, this, &MainWindow::refreshGrids);
  connect(m_checkPage, &CheckPage::showTabRequested, this, &MainWindow::showTab);
  connect(m_checkPage, &CheckPage::countsCleared, this, [this](bool stakes, bool system) {
    if (stakes) m_stakesPage->clearCounts();
    if (system) m_systemPage->clearCounts();
  });
  connect(m_checkPage, &CheckPage::countsFound, this, [this](const tallyra::Outcome& outcome) {
    // Grid columns run 6, 5, 4, 3; the outcome's categories 3, 4, 5, 6.
    if (outcome.stakesTouched) m_stakesPage->setCountRows(outcome.stakeRows);
    if (outcome.systemTouched) m_systemPage->setCountRows(outcome.systemRows);
  });
}

void MainWindow::readSettings() {
  const tallyra::FileText file = tallyra::ReadWholeFile(m_files.path(tallyra::kSettingsFileName),
                                                        tallyra::kMaxSettingsFileBytes);
  // A file far too long to be settings is read as a bad one; one that cannot be read at all
  // (missing, a pipe, a folder) as a missing one.
  std::optional<std::string> text;
  if (file.ok) {
    text = file.data;
  } else if (file.error == tallyra::kFileTooLarge) {
    text = std::string();
  }
  const tallyra::SettingsOutcome outcome = tallyra::ParseSettings(text);
  if (outcome.message) {
    // The window is not on screen yet: the box has no owner.
    platform::ShowMessage(nullptr, platform::Tr(TextId::TxtAppTitle, outcome.messageLanguage),
                          platform::Tr(*outcome.message, outcome.messageLanguage));
  }
  m_ws->HighestNumber = outcome.highestNumber;
  m_ws->Language = outcome.language;
}

void MainWindow::writeSettings() {
  const auto error =
      tallyra::WriteFileReplacing(m_files.path(tallyra::kSettingsFileName),
                                  tallyra::FormatSettings(m_ws->HighestNumber, m_ws->Language));
  if (error) {
    throw tallyra::UserError(tallyra::Format(
        TextId::TxtCannotWrite, m_ws->Language,
        {tallyra::kSettingsFileName, tallyra::DescribeFileError(*error, m_ws->Language)}));
  }
}

std::string MainWindow::gameId() const {
  return platform::ReadPreference(m_files, QStringLiteral("game/profile")).toStdString();
}

void MainWindow::keepGame(int32_t highestNumber, const std::string& gameId) {
  m_ws->HighestNumber = highestNumber;
  writeSettings();
  // ini.tly keeps M alone, as older versions read it; the game's name lives beside it.
  platform::WritePreference(m_files, QStringLiteral("game/profile"),
                            QString::fromStdString(gameId));
  // An open analysis and an open generator count over the new M.
  m_analysis->drawsChanged();
  m_generator->listsChanged();
}

void MainWindow::entryStored(EntryMode mode) {
  if (mode == EntryMode::NewSystemStake) showTab(systemTab);
  refreshGrids();
}

void MainWindow::entryModeSwitched(EntryMode mode) {
  showTab(mode == EntryMode::NewSystemStake ? systemTab : stakesTab);
}

void MainWindow::setPanel(StatusPanel panel, int32_t value) {
  statusPanel(panel)->setText(QString::number(value));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_shown) return;
  m_shown = true;
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  runGuarded([&] { onFirstShow(); });
}

void MainWindow::onFirstShow() {
  applyTexts();
  m_resultsPage->loadStartup();
  refreshGrids();
  m_statisticsPage->presetRows(m_ws->HighestNumber);
  m_statisticsPage->compute();
  m_statisticsPage->show();
  russianAction->setChecked(m_ws->Language == tallyra::ToValue(tallyra::Language::Russian));
  englishAction->setChecked(m_ws->Language != tallyra::ToValue(tallyra::Language::Russian));
  updateTabImages();
}

void MainWindow::updateTabImages() {
  const int shown = tabs->currentIndex();
  if (shown < 0 || shown >= 5) return;
  for (int i = 0; i < 5; ++i) tabs->setTabIcon(i, tabImages[i == shown ? 0 : 2]);
}

void MainWindow::exitProgram() {
  close();
}

void MainWindow::showTab(QWidget* tab) {
  tabs->setCurrentWidget(tab);
  updateTabImages();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_checkPage->collating()) {
    // The run stops first; the window closes, with the usual questions, right after it.
    m_checkPage->closeWhenStopped();
    event->ignore();
    return;
  }
  bool close = true;
  runGuarded([&] { close = confirmClose(); });
  if (close) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool MainWindow::confirmClose() {
  if (m_ws->StakeCount == 0 && m_ws->SystemCount == 0) return true;
  // A Yes whose save does not go through keeps the program open, so no work is lost.
  if (m_ws->StakeCount > 0 &&
      platform::AskYesNo(nullptr, T(TextId::TxtCapExit), T(TextId::TxtAskSaveStakes)) &&
      !saveStakes()) {
    return false;
  }
  if (m_ws->SystemCount > 0 &&
      platform::AskYesNo(nullptr, T(TextId::TxtCapExit), T(TextId::TxtAskSaveSystem)) &&
      !saveSystemStakes()) {
    return false;
  }
  return true;
}

void MainWindow::chooseLanguage(QAction* sender) {
  m_ws->Language = sender == englishAction ? tallyra::ToValue(tallyra::Language::English)
                                           : tallyra::ToValue(tallyra::Language::Russian);
  russianAction->setChecked(m_ws->Language == tallyra::ToValue(tallyra::Language::Russian));
  englishAction->setChecked(m_ws->Language == tallyra::ToValue(tallyra::Language::English));
  platform::UseQtLanguage(m_ws->Language);
  applyTexts();
  writeSettings();
}

void MainWindow::applyTexts() {
  m_stakesPage->applyTexts();
  m_systemPage->applyTexts();
  m_resultsPage->applyTexts();
  m_checkPage->applyTexts();
  m_statisticsPage->applyTexts();

  // Menus.
  stakesMenu->setTitle(T(TextId::TxtMenuStakes));
  for (QAction* load : {loadStakesAction, loadSystemAction, loadResultsAction})
    load->setText(T(TextId::TxtMenuLoad));
  for (QAction* save : {saveStakesAction, saveSystemAction}) save->setText(T(TextId::TxtMenuSave));
  for (QAction* collate : {collateStakesAction, collateSystemAction})
    collate->setText(T(TextId::TxtMenuCollate));
  for (QAction* all : {deleteAllStakesAction, deleteAllSystemAction})
    all->setText(T(TextId::TxtMenuDeleteAll));
  systemMenu->setTitle(T(TextId::TxtMenuSystemGame));
  resultsMenu->setTitle(T(TextId::TxtMenuResults));
  downloadResultsAction->setText(T(TextId::TxtMenuFromInternet));
  collateWithMenu->setTitle(T(TextId::TxtMenuCollateWith));
  collateWithStakesAction->setText(T(TextId::TxtMenuWithStakes));
  collateWithSystemAction->setText(T(TextId::TxtMenuWithSystem));
  collateWithAllAction->setText(T(TextId::TxtMenuWithAll));
  checkMenu->setTitle(T(TextId::TxtMenuCheck));
  enterCombinationAction->setText(T(TextId::TxtMenuEnterResult));
  checkStakesAction->setText(T(TextId::TxtMenuCheckStakes));
  wheelsAction->setText(T(TextId::TxtMenuWheels));
  optionsMenu->setTitle(T(TextId::TxtMenuOptions));
  languageMenu->setTitle(QStringLiteral("Language"));
  englishAction->setText(QStringLiteral("&English"));
  russianAction->setText(T(TextId::TxtMenuRussian));
  preferencesAction->setText(T(TextId::TxtMenuPreferences));
  prizesAction->setText(T(TextId::TxtMenuPrizes));
  winningsAction->setText(T(TextId::TxtMenuWinnings));
  m_winnings->applyTexts();
  analysisAction->setText(T(TextId::TxtMenuAnalysis));
  m_analysis->applyTexts();
  generateAction->setText(T(TextId::TxtMenuGenerate));
  m_generator->applyTexts();
  for (QAction* import : {importStakesAction, importSystemAction, importResultsAction})
    import->setText(T(TextId::TxtMenuImport));
  helpMenu->setTitle(T(TextId::TxtMenuHelp));
  helpAction->setText(T(TextId::TxtMenuHelp));
  aboutAction->setText(T(TextId::TxtMenuAbout));
  exitAction->setText(T(TextId::TxtMenuExit));

  setWindowTitle(T(TextId::TxtMainCaption));
  openOptions.title = T(TextId::TxtOpenTitle);
  saveOptions.title = T(TextId::TxtSaveTitle);
  openOptions.filters = QStringList{T(TextId::TxtFilterText)};
  saveOptions.filters = QStringList{T(TextId::TxtFilterText), T(TextId::TxtFilterAll)};

  // Tabs, the status bar's captions and the banners.
  tabs->setTabText(0, T(TextId::TxtTabStakes));
  tabs->setTabText(1, T(TextId::TxtTabSystem));
  tabs->setTabText(2, T(TextId::TxtTabResults));
  tabs->setTabText(3, T(TextId::TxtTabCheck));
  tabs->setTabText(4, T(TextId::TxtTabStatistics));
  statusPanel(StatusPanel::StakesCaption)->setText(T(TextId::TxtPanelStakes));
  statusPanel(StatusPanel::SystemCaption)->setText(T(TextId::TxtPanelSystem));
  statusPanel(StatusPanel::DrawsCaption)->setText(T(TextId::TxtPanelDraws));
  for (QLabel* banner : {bannerRussian, bannerEnglish})
    banner->setToolTip(T(TextId::TxtBannerHint));

  bannerEnglish->setVisible(m_ws->Language != tallyra::ToValue(tallyra::Language::Russian));
}

void MainWindow::refreshGrids() {
  m_stakesPage->refresh();
  m_resultsPage->refresh();
  m_systemPage->refresh();
  // The generator follows the draws and the system stakes while it is open.
  m_generator->listsChanged();
}

// What is reached from outside the window: the start of the program and the tests.

void MainWindow::loadStakesFromFile(const QString& path) {
  runGuarded([&] { m_stakesPage->loadPath(path); });
}

void MainWindow::setDownloadUrl(const QString& url) {
  m_resultsPage->setDownloadUrl(url);
}

HelpWindow* MainWindow::helpWindow() const {
  return m_help->helpWindow();
}

const std::array<tallyra::ListPtr, 4>& MainWindow::matchLists() const {
  return m_checkPage->matchLists();
}

std::array<int64_t, 4> MainWindow::matchTotals() const {
  return m_checkPage->matchTotals();
}

// The menus' commands, each routed to the tab or the commands that do the work.

void MainWindow::loadStakes() {
  m_stakesPage->load();
}
bool MainWindow::saveStakes() {
  return m_stakesPage->save();
}
void MainWindow::deleteAllStakes() {
  m_stakesPage->deleteAll();
}
void MainWindow::importStakes() {
  m_stakesPage->importFile();
}
void MainWindow::generateStakes() {
  m_generator->openGenerator();
}

void MainWindow::loadSystemStakes() {
  m_systemPage->load();
}
bool MainWindow::saveSystemStakes() {
  return m_systemPage->save();
}
void MainWindow::deleteAllSystemStakes() {
  m_systemPage->deleteAll();
}
void MainWindow::importSystemStakes() {
  m_systemPage->importFile();
}

void MainWindow::loadResults() {
  m_resultsPage->load();
}
void MainWindow::downloadResults() {
  m_resultsPage->download();
}
void MainWindow::importResults() {
  m_resultsPage->importFile();
}
void MainWindow::showAnalysis() {
  m_analysis->showAnalysis();
}

void MainWindow::collateStakesWithStakes() {
  m_checkPage->collate(tallyra::CollationKind::StakesWithStakes);
}
void MainWindow::collateStakesWithDraws() {
  m_checkPage->collate(tallyra::CollationKind::StakesWithDraws);
}
void MainWindow::collateSystemWithDraws() {
  m_checkPage->collate(tallyra::CollationKind::SystemWithDraws);
}
void MainWindow::collateSystemWithSystem() {
  m_checkPage->collate(tallyra::CollationKind::SystemWithSystem);
}
void MainWindow::collateAllWithDraws() {
  m_checkPage->collate(tallyra::CollationKind::All);
}
void MainWindow::enterCombination() {
  m_checkPage->enterCombination();
}
void MainWindow::checkCombination() {
  m_checkPage->checkCombination();
}

void MainWindow::showWinnings() {
  m_winnings->showWinnings();
}
void MainWindow::openWheels() {
  m_wheels->openWheels();
}
void MainWindow::editPrizes() {
  m_winnings->editPrizes();
}

void MainWindow::showOptions() {
  const std::string held = gameId();
  m_optionsDialog->setGameId(held);
  m_optionsDialog->editSettings(
      m_ws->BallsPerStake, m_ws->HighestNumber,
      [this, held](std::optional<int32_t> highestNumber) {
        const int32_t highest = highestNumber.value_or(m_ws->HighestNumber);
        const tallyra::Game* game = tallyra::GameForHighest(highest, held);
        keepGame(highest, game ? std::string(game->id) : std::string());
      },
      m_resultsPage->downloadUrl(),
      [this](const QString& address) {
        // Kept beside ini.tly, which stays as older versions wrote it.
        platform::WritePreference(m_files, QStringLiteral("download/address"), address);
        m_resultsPage->setDownloadUrl(address.isEmpty() ? DefaultDownloadAddress() : address);
      });
}
void MainWindow::openHelp() {
  m_help->openHelpAt(helpPageOfCurrentTab(), this);
}
void MainWindow::showAbout() {
  m_help->showAbout();
}
void MainWindow::openPublisherPage() {
  m_help->openPublisherPage();
}

QString MainWindow::helpPageOfCurrentTab() const {
  const QWidget* tab = tabs->currentWidget();
  if (tab == stakesTab) return QStringLiteral("entering.html");
  if (tab == systemTab) return QStringLiteral("lists.html");
  if (tab == resultsTab) return QStringLiteral("files.html");
  if (tab == checkTab) return QStringLiteral("check.html");
  if (tab == statisticsTab) return QStringLiteral("statistics.html");
  return QStringLiteral("index.html");
}
