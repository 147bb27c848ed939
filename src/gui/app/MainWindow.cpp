#include "app/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>

#include "dialogs/AboutDialog.h"
#include "dialogs/EntryDialog.h"
#include "dialogs/ListViewer.h"
#include "dialogs/OptionsDialog.h"
#include "model/Errors.h"
#include "model/Files.h"
#include "model/Publisher.h"
#include "model/Settings.h"
#include "pages/StatisticsPage.h"
#include "platform/ClickLabel.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

using tallyra::TextId;

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  // The Workspace first: the tabs show it.
  m_ws = tallyra::CreateWorkspace();
  buildLayout();
  openOptions = {QString(),
                 QStringLiteral("Stavka.txt"),
                 {QStringLiteral("*.txt (*.txt)")},
                 QStringLiteral("txt"),
                 false};
  saveOptions = {QString(),
                 QStringLiteral("Stavka.txt"),
                 {QStringLiteral("*.txt (*.txt)"), QStringLiteral("All files (*)")},
                 QStringLiteral("txt"),
                 true};
  bindHandlers();
  addDesktopKeys();

  m_downloadUrl = QStringLiteral("http://") + QString::fromLatin1(tallyra::publisher::kWebHost) +
                  QString::fromLatin1(tallyra::publisher::kResultsPath);
  readSettings();
  bindListCells();
  platform::UseQtLanguage(m_ws->Language);
  resetMatchPanel();

  // The dialogs, created after the main window and kept until the end.
  const LanguageSource language = [this] { return m_ws->Language; };
  m_entryDialog = new EntryDialog(this, language);
  m_listViewer = new ListViewer(this, language);
  m_aboutDialog = new AboutDialog(this, language);
  m_optionsDialog = new OptionsDialog(this, language);
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
  auto bindButton = [this](QPushButton* button, auto handler) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { runGuarded([&] { std::invoke(handler, *this); }); });
  };
  bind(exitAction, &MainWindow::exitProgram);
  bind(loadResultsAction, &MainWindow::loadResults);

  for (QAction* add : {addStakeItem}) bind(add, &MainWindow::addStakes);
  bind(deleteStakeItem, &MainWindow::deleteSelectedStake);
  bind(editStakeItem, &MainWindow::editSelectedStake);
  bind(lineUpStakesItem, &MainWindow::lineUpStakes);
  bind(deleteAllStakesAction, &MainWindow::deleteAllStakes);
  bind(loadStakesAction, &MainWindow::loadStakes);
  bind(saveStakesAction, [](MainWindow& f) { f.saveStakes(); });
  bind(addSystemItem, &MainWindow::addSystemStakes);
  bind(deleteSystemItem, &MainWindow::deleteSelectedSystemStake);
  bind(editSystemItem, &MainWindow::editSelectedSystemStake);
  bind(lineUpSystemItem, &MainWindow::lineUpSystemStakes);
  bind(deleteAllSystemAction, &MainWindow::deleteAllSystemStakes);
  bind(loadSystemAction, &MainWindow::loadSystemStakes);
  bind(saveSystemAction, [](MainWindow& f) { f.saveSystemStakes(); });
  bindButton(collateStakesButton, &MainWindow::collateStakesWithStakes);
  bind(collateStakesAction, &MainWindow::collateStakesWithStakes);
  bindButton(collateDrawsWithStakesButton, &MainWindow::collateStakesWithDraws);
  bind(collateWithStakesAction, &MainWindow::collateStakesWithDraws);
  bindButton(collateDrawsWithSystemButton, &MainWindow::collateSystemWithDraws);
  bind(collateWithSystemAction, &MainWindow::collateSystemWithDraws);
  bindButton(collateSystemButton, &MainWindow::collateSystemWithSystem);
  bind(collateSystemAction, &MainWindow::collateSystemWithSystem);
  bindButton(collateDrawsWithAllButton, &MainWindow::collateAllWithDraws);
  bind(collateWithAllAction, &MainWindow::collateAllWithDraws);
  bindButton(enterCombinationButton, &MainWindow::enterCombination);
  bind(enterCombinationAction, &MainWindow::enterCombination);
  bindButton(clearCombinationButton, &MainWindow::clearCombination);
  bindButton(checkCombinationButton, &MainWindow::checkCombination);
  bind(checkStakesAction, &MainWindow::checkCombination);
  bindButton(addCombinationButton, &MainWindow::addCombinationToStakes);
  connect(withStakesRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) runGuarded([&] { collateWithStakesChosen(); });
  });
  connect(withDrawsRadio, &QRadioButton::toggled, this, [this](bool on) {
    if (on) runGuarded([&] { collateWithDrawsChosen(); });
  });
  auto bindLabel = [this](platform::ClickLabel* label, void (MainWindow::*handler)()) {
    connect(label, &platform::ClickLabel::clicked, this,
            [this, handler] { runGuarded([&] { (this->*handler)(); }); });
  };
  bindLabel(threesList, &MainWindow::showThreesList);
  bindLabel(foursList, &MainWindow::showFoursList);
  bindLabel(fivesList, &MainWindow::showFivesList);
  bindLabel(sixesList, &MainWindow::showSixesList);
  bind(downloadResultsAction, &MainWindow::downloadResults);
  bind(helpAction, &MainWindow::openHelp);
  bind(aboutAction, &MainWindow::showAbout);
  bind(preferencesAction, &MainWindow::showOptions);
  for (platform::ClickLabel* banner : {bannerRussian, bannerEnglish}) {
    connect(banner, &platform::ClickLabel::clicked, this,
            [this] { runGuarded([&] { openPublisherPage(); }); });
  }
  bindButton(addStakeButton, &MainWindow::addStakes);
  bindButton(deleteStakeButton, &MainWindow::deleteSelectedStake);
  bindButton(addSystemButton, &MainWindow::addSystemStakes);
  bindButton(deleteSystemButton, &MainWindow::deleteSelectedSystemStake);
  connect(stakesGrid, &QAbstractItemView::doubleClicked, this,
          [this] { runGuarded([&] { editSelectedStake(); }); });
  connect(systemGrid, &QAbstractItemView::doubleClicked, this,
          [this] { runGuarded([&] { editSelectedSystemStake(); }); });
  connect(stakesGrid, &platform::StringGrid::keyDown, this,
          [this](int key) { runGuarded([&] { stakesGridKeyPressed(key); }); });
  connect(systemGrid, &platform::StringGrid::keyDown, this,
          [this](int key) { runGuarded([&] { systemGridKeyPressed(key); }); });
  for (QAction* item : {englishAction, russianAction}) {
    connect(item, &QAction::triggered, this,
            [this, item] { platform::RunHandler(this, [&] { chooseLanguage(item); }); });
  }
  connect(tabs, &QTabWidget::currentChanged, this,
          [this] { platform::RunHandler(this, [&] { updateTabImages(); }); });
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
  if (m_collating) {
    // The run stops first; the window closes, with the usual questions, right after it.
    m_closeAfterRun = true;
    m_stopRun.store(true);
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // While a collation runs, user input to the window is held off, and with it a close request
  // reaching the widget. The request is taken here, where the window system delivers it.
  if (m_collating && event->type() == QEvent::Close && watched == windowHandle()) {
    m_closeAfterRun = true;
    m_stopRun.store(true);
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
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
  // Header cells.
  auto& stav = stakesGrid->model();
  stav.setHeader(0, QStringLiteral("    №"));
  for (int c = 1; c <= 6; ++c) stav.setHeader(c, QString());
  stav.setHeader(7, QStringLiteral("    6"));
  stav.setHeader(8, QStringLiteral("    5"));
  stav.setHeader(9, QStringLiteral("    4"));
  stav.setHeader(10, QStringLiteral("    3"));
  auto& res = resultsGrid->model();
  res.setHeader(0, T(TextId::TxtColDraw));
  for (int c = 1; c <= 6; ++c) res.setHeader(c, QStringLiteral("     ") + QString::number(c));
  auto& sys = systemGrid->model();
  sys.setHeader(0, QStringLiteral("  №"));
  for (int c = 1; c <= 12; ++c) sys.setHeader(c, QString());
  sys.setHeader(13, QStringLiteral("  6..."));
  sys.setHeader(14, QStringLiteral("  5"));
  sys.setHeader(15, QStringLiteral("  4"));
  sys.setHeader(16, QStringLiteral("  3"));
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
  optionsMenu->setTitle(T(TextId::TxtMenuOptions));
  languageMenu->setTitle(QStringLiteral("Language"));
  englishAction->setText(QStringLiteral("&English"));
  russianAction->setText(T(TextId::TxtMenuRussian));
  preferencesAction->setText(T(TextId::TxtMenuPreferences));
  helpMenu->setTitle(T(TextId::TxtMenuHelp));
  helpAction->setText(T(TextId::TxtMenuHelp));
  aboutAction->setText(T(TextId::TxtMenuAbout));
  exitAction->setText(T(TextId::TxtMenuExit));

  setWindowTitle(T(TextId::TxtMainCaption));
  openOptions.title = T(TextId::TxtOpenTitle);
  saveOptions.title = T(TextId::TxtSaveTitle);

  // Tabs, buttons, boxes and labels.
  tabs->setTabText(0, T(TextId::TxtTabStakes));
  tabs->setTabText(1, T(TextId::TxtTabSystem));
  tabs->setTabText(2, T(TextId::TxtTabResults));
  tabs->setTabText(3, T(TextId::TxtTabCheck));
  tabs->setTabText(4, T(TextId::TxtTabStatistics));
  for (QPushButton* del : {deleteStakeButton, deleteSystemButton})
    del->setText(T(TextId::TxtDelete));
  for (QPushButton* add : {addStakeButton, addSystemButton}) add->setText(T(TextId::TxtAdd));
  for (QPushButton* collate : {collateStakesButton, collateSystemButton})
    collate->setText(T(TextId::TxtCollate));
  collateDrawsWithAllButton->setText(T(TextId::TxtCollateAll));
  collateDrawsWithStakesButton->setText(T(TextId::TxtCollateStakes));
  collateDrawsWithSystemButton->setText(T(TextId::TxtCollateSystem));
  clearCombinationButton->setText(T(TextId::TxtClean));
  enterCombinationButton->setText(T(TextId::TxtEnterCombination));
  addCombinationButton->setText(T(TextId::TxtAddToStakes));
  checkCombinationButton->setText(T(TextId::TxtCheck));
  includeSystemBox->setText(T(TextId::TxtIncludeSystem));
  checkResultsBox->setTitle(T(TextId::TxtCheckResults));
  for (QLabel* list : {threesList, foursList, fivesList, sixesList})
    list->setToolTip(T(TextId::TxtClickForList));
  combinationCaption->setText(T(TextId::TxtCurrentCombination));
  withStakesRadio->setText(T(TextId::TxtWithStakes));
  withDrawsRadio->setText(T(TextId::TxtWithResults));
  collateWithBox->setTitle(T(TextId::TxtCollateWithBox));
  for (QAction* edit : {editStakeItem, editSystemItem}) edit->setText(T(TextId::TxtEdit));
  for (QAction* lineUp : {lineUpStakesItem, lineUpSystemItem})
    lineUp->setText(T(TextId::TxtLineUp));
  for (QAction* add : {addStakeItem, addSystemItem}) add->setText(T(TextId::TxtAdd));
  for (QAction* del : {deleteStakeItem, deleteSystemItem}) del->setText(T(TextId::TxtDelete));
  statusPanel(StatusPanel::StakesCaption)->setText(T(TextId::TxtPanelStakes));
  statusPanel(StatusPanel::SystemCaption)->setText(T(TextId::TxtPanelSystem));
  statusPanel(StatusPanel::DrawsCaption)->setText(T(TextId::TxtPanelDraws));
  for (QLabel* banner : {bannerRussian, bannerEnglish})
    banner->setToolTip(T(TextId::TxtBannerHint));

  bannerEnglish->setVisible(m_ws->Language != tallyra::ToValue(tallyra::Language::Russian));
}
