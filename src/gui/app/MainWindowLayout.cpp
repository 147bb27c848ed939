// The main window's controls, menus and status bar, placed at the layout's pixel positions.

#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "pages/CheckPage.h"
#include "pages/ListPage.h"
#include "pages/PageLayout.h"
#include "pages/ResultsPage.h"
#include "pages/StatisticsPage.h"
#include "platform/ClickLabel.h"

namespace {

constexpr int kClientWidth = 737;
constexpr int kClientHeight = 449;
constexpr int kStatusHeight = 19;

using layout::Item;
using layout::Menu;
using layout::Place;
using layout::Separator;

}  // namespace

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
                              openOptions, saveOptions);
  m_systemPage = new ListPage(ListKind::SystemStakes, systemTab, this, *m_ws, language,
                              *m_entryDialog, openOptions, saveOptions);
  m_resultsPage = new ResultsPage(resultsTab, *m_ws, language, openOptions);
  m_checkPage =
      new CheckPage(checkTab, *m_ws, language, *m_entryDialog, *m_listViewer, saveOptions);
  m_statisticsPage = new StatisticsPage(statisticsTab, this, *m_ws, language);

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
  connect(Item(stakesMenu, "ImportStakesItem"), &QAction::triggered, this,
          [this] { runGuarded([&] { importStakes(); }); });

  systemMenu = Menu(this, "C1");
  loadSystemAction = Item(systemMenu, "N31");
  saveSystemAction = Item(systemMenu, "N32");
  systemSeparator = Separator(systemMenu, "N33");
  collateSystemAction = Item(systemMenu, "N34");
  deleteAllSystemAction = Item(systemMenu, "N35");
  connect(Item(systemMenu, "ImportSystemItem"), &QAction::triggered, this,
          [this] { runGuarded([&] { importSystemStakes(); }); });

  resultsMenu = Menu(this, "N2");
  loadResultsAction = Item(resultsMenu, "N10");
  downloadResultsAction = Item(resultsMenu, "N42");
  resultsSeparator = Separator(resultsMenu, "N12");
  collateWithMenu = Menu(resultsMenu, "N13");
  resultsMenu->addMenu(collateWithMenu);
  collateWithStakesAction = Item(collateWithMenu, "N23");
  collateWithSystemAction = Item(collateWithMenu, "N24");
  collateWithAllAction = Item(collateWithMenu, "N25");
  connect(Item(resultsMenu, "ImportResultsItem"), &QAction::triggered, this,
          [this] { runGuarded([&] { importResults(); }); });

  checkMenu = Menu(this, "N3");
  enterCombinationAction = Item(checkMenu, "N14");
  checkSeparator = Separator(checkMenu, "N15");
  checkStakesAction = Item(checkMenu, "N16");
  connect(Item(checkMenu, "WinningsItem"), &QAction::triggered, this,
          [this] { runGuarded([&] { showWinnings(); }); });
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
  connect(Item(optionsMenu, "PrizesItem"), &QAction::triggered, this,
          [this] { runGuarded([&] { editPrizes(); }); });

  helpMenu = Menu(this, "Help");
  helpAction = Item(helpMenu, "N4");
  helpSeparator = Separator(helpMenu, "N36");
  aboutAction = Item(helpMenu, "N11");

  for (QMenu* menu : {stakesMenu, systemMenu, resultsMenu, checkMenu, optionsMenu, helpMenu})
    bar->addMenu(menu);
  exitAction = bar->addAction(QString());
  exitAction->setObjectName(QStringLiteral("N5"));
}
