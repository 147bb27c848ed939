#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>

#include "dialogs/AboutDialog.h"
#include "dialogs/EntryDialog.h"
#include "dialogs/ListViewer.h"
#include "dialogs/OptionsDialog.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "model/Settings.h"
#include "pages/CheckPage.h"
#include "pages/ListPage.h"
#include "pages/ResultsPage.h"
#include "pages/StatisticsPage.h"
#include "platform/ClickLabel.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
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
  m_listViewer = new ListViewer(this, language);
  m_aboutDialog = new AboutDialog(this, language);
  m_optionsDialog = new OptionsDialog(this, language);

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
}

MainWindow::~MainWindow() = default;

QString MainWindow::T(TextId id) const {
  return platform::Tr(id, m_ws->Language);
}

void MainWindow::bindHandlers() {
  auto bind = [this](QAction* action, auto handler) {
    connect(action, &QAction::triggered, this,
            [this, handler] { runGuarded([&] { std::invoke(handler, *this); }); });
  };
  bind(exitAction, &MainWindow::exitProgram);
  bind(loadResultsAction, &MainWindow::loadResults);
  bind(downloadResultsAction, &MainWindow::downloadResults);
  bind(loadStakesAction, &MainWindow::loadStakes);
  bind(saveStakesAction, [](MainWindow& w) { w.saveStakes(); });
  bind(collateStakesAction, &MainWindow::collateStakesWithStakes);
  bind(deleteAllStakesAction, &MainWindow::deleteAllStakes);
  bind(loadSystemAction, &MainWindow::loadSystemStakes);
  bind(saveSystemAction, [](MainWindow& w) { w.saveSystemStakes(); });
  bind(collateSystemAction, &MainWindow::collateSystemWithSystem);
  bind(deleteAllSystemAction, &MainWindow::deleteAllSystemStakes);
  bind(collateWithStakesAction, &MainWindow::collateStakesWithDraws);
  bind(collateWithSystemAction, &MainWindow::collateSystemWithDraws);
  bind(collateWithAllAction, &MainWindow::collateAllWithDraws);
  bind(enterCombinationAction, &MainWindow::enterCombination);
  bind(checkStakesAction, &MainWindow::checkCombination);
  bind(wheelsAction, &MainWindow::openWheels);
  bind(helpAction, &MainWindow::openHelp);
  bind(aboutAction, &MainWindow::showAbout);
  bind(preferencesAction, &MainWindow::showOptions);
  for (platform::ClickLabel* banner : {bannerRussian, bannerEnglish}) {
    connect(banner, &platform::ClickLabel::clicked, this,
            [this] { runGuarded([&] { openPublisherPage(); }); });
  }
  for (QAction* item : {englishAction, russianAction}) {
    connect(item, &QAction::triggered, this,
            [this, item] { platform::RunHandler(this, [&] { chooseLanguage(item); }); });
  }
  connect(tabs, &QTabWidget::currentChanged, this,
          [this] { platform::RunHandler(this, [&] { updateTabImages(); }); });
}

void MainWindow::connectPages() {
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
  });
  connect(m_resultsPage, &ResultsPage::collateRequested, m_checkPage, &CheckPage::collate);

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
  const tallyra::FileText file =
      tallyra::ReadWholeFile(tallyra::kSettingsFileName, tallyra::kMaxSettingsFileBytes);
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
  const auto error = tallyra::WriteFileReplacing(
      tallyra::kSettingsFileName, tallyra::FormatSettings(m_ws->HighestNumber, m_ws->Language));
  if (error) {
    throw tallyra::UserError(tallyra::Format(
        TextId::TxtCannotWrite, m_ws->Language,
        {tallyra::kSettingsFileName, tallyra::DescribeFileError(*error, m_ws->Language)}));
  }
}

void MainWindow::showPlainMessage(TextId id) {
  platform::ShowMessage(this, T(TextId::TxtAppTitle), T(id));
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
  platform::RunHandler(this, [&] { onFirstShow(); });
}

void MainWindow::onFirstShow() {
  applyTexts();
  loadStartupResults();
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
  platform::RunHandler(this, [&] { close = confirmClose(); });
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
  applyWinningsTexts();
  for (const char* name : {"ImportStakesItem", "ImportSystemItem", "ImportResultsItem"}) {
    if (auto* item = findChild<QAction*>(QString::fromLatin1(name)))
      item->setText(T(TextId::TxtMenuImport));
  }
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
}

void MainWindow::loadStartupResults() {
  m_resultsPage->loadStartup();
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

void MainWindow::importStakes() {
  m_stakesPage->importFile();
}

void MainWindow::importSystemStakes() {
  m_systemPage->importFile();
}

void MainWindow::setDownloadUrl(const QString& url) {
  m_resultsPage->setDownloadUrl(url);
}

// Stakes and system stakes.

void MainWindow::addStakes() {
  m_stakesPage->add();
}
void MainWindow::editSelectedStake() {
  m_stakesPage->editSelected();
}
void MainWindow::deleteSelectedStake() {
  m_stakesPage->deleteSelected();
}
void MainWindow::deleteAllStakes() {
  m_stakesPage->deleteAll();
}
void MainWindow::lineUpStakes() {
  m_stakesPage->lineUp();
}
void MainWindow::stakesGridKeyPressed(int key) {
  m_stakesPage->keyPressed(key);
}
void MainWindow::loadStakes() {
  m_stakesPage->load();
}
bool MainWindow::saveStakes() {
  return m_stakesPage->save();
}

void MainWindow::addSystemStakes() {
  m_systemPage->add();
}
void MainWindow::editSelectedSystemStake() {
  m_systemPage->editSelected();
}
void MainWindow::deleteSelectedSystemStake() {
  m_systemPage->deleteSelected();
}
void MainWindow::deleteAllSystemStakes() {
  m_systemPage->deleteAll();
}
void MainWindow::lineUpSystemStakes() {
  m_systemPage->lineUp();
}
void MainWindow::systemGridKeyPressed(int key) {
  m_systemPage->keyPressed(key);
}
void MainWindow::loadSystemStakes() {
  m_systemPage->load();
}
bool MainWindow::saveSystemStakes() {
  return m_systemPage->save();
}

// Collations and the check.

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
void MainWindow::clearCombination() {
  m_checkPage->clearCombination();
}
void MainWindow::checkCombination() {
  m_checkPage->checkCombination();
}
void MainWindow::addCombinationToStakes() {
  m_checkPage->addCombinationToStakes();
}
void MainWindow::collateWithStakesChosen() {
  m_checkPage->collateWithStakesChosen();
}
void MainWindow::collateWithDrawsChosen() {
  m_checkPage->collateWithDrawsChosen();
}
void MainWindow::showThreesList() {
  m_checkPage->showList(0);
}
void MainWindow::showFoursList() {
  m_checkPage->showList(1);
}
void MainWindow::showFivesList() {
  m_checkPage->showList(2);
}
void MainWindow::showSixesList() {
  m_checkPage->showList(3);
}
void MainWindow::resetMatchPanel() {
  m_checkPage->resetMatchPanel();
}
void MainWindow::clearStakeMatchColumns() {
  m_stakesPage->clearCounts();
}
void MainWindow::clearSystemMatchColumns() {
  m_systemPage->clearCounts();
}
const std::array<tallyra::ListPtr, 4>& MainWindow::matchLists() const {
  return m_checkPage->matchLists();
}
std::array<int64_t, 4> MainWindow::matchTotals() const {
  return m_checkPage->matchTotals();
}
void MainWindow::applyOutcome(const tallyra::Outcome& outcome) {
  m_checkPage->applyOutcome(outcome);
}
