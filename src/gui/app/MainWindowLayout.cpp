// The main window's controls, menus and status bar, placed at the layout's pixel positions.

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "pages/PageLayout.h"
#include "pages/StatisticsPage.h"
#include "platform/ClickLabel.h"
#include "platform/StringGrid.h"

namespace {

constexpr int kClientWidth = 737;
constexpr int kClientHeight = 449;
constexpr int kStatusHeight = 19;
const QColor kGreyedText(0x80, 0x80, 0x80);

using layout::Button;
using layout::Grid;
using layout::Item;
using layout::Menu;
using layout::Panel;
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

  // Stakes.
  QWidget* p1 = Panel(stakesTab);
  stakesGrid = Grid(p1, "SGStav", 48, 8, 617, 297, std::vector<int>(11, 53));
  stakesGrid->model().setCountColumns(7, 10);
  addStakeButton = Button(p1, "BitEnter", 48, 312);
  deleteStakeButton = Button(p1, "BitDel", 264, 312);
  collateStakesButton = Button(p1, "BitTest", 480, 312);

  // System stakes.
  QWidget* p2 = Panel(systemTab);
  std::vector<int> sysWidths(12, 33);
  sysWidths.insert(sysWidths.end(), {30, 39, 39, 39, 40});
  systemGrid = Grid(p2, "SGSys", 48, 8, 617, 297, sysWidths);
  systemGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  systemGrid->model().setCountColumns(13, 16);
  addSystemButton = Button(p2, "BitEnterSys", 48, 312);
  deleteSystemButton = Button(p2, "BitDelSys", 264, 312);
  collateSystemButton = Button(p2, "BitTestSys", 480, 312);

  // Results.
  QWidget* p3 = Panel(resultsTab);
  resultsGrid = Grid(p3, "SGRes", 144, 8, 433, 297, std::vector<int>(7, 58));
  collateDrawsWithStakesButton = Button(p3, "BitRes", 48, 312);
  collateDrawsWithSystemButton = Button(p3, "BitSys", 264, 312);
  collateDrawsWithAllButton = Button(p3, "BitAll", 480, 312);

  // Check.
  QWidget* p4 = Panel(checkTab);
  combinationCaption = Place(new QLabel(p4), "Label1", 29, 11, 175, 20);
  combinationCells.assign(13, nullptr);
  for (int i = 1; i <= 12; ++i) {
    const int x = i <= 6 ? 208 + 40 * (i - 1) : 464 + 40 * (i - 7);
    const QByteArray name = "L" + QByteArray::number(i);
    combinationCells[i] = Place(new QLabel(p4), name.constData(), x, 8, 33, 25);
    combinationCells[i]->setAlignment(Qt::AlignCenter);
    combinationCells[i]->setAutoFillBackground(true);
    QPalette palette = combinationCells[i]->palette();
    palette.setColor(QPalette::Window,
                     i <= 6 ? QColor(0x00, 0x80, 0x00) : QColor(0x80, 0x80, 0x00));
    // Maroon numbers on green, purple ones on olive.
    palette.setColor(QPalette::WindowText,
                     i <= 6 ? QColor(0x80, 0x00, 0x00) : QColor(0x80, 0x00, 0x80));
    combinationCells[i]->setPalette(palette);
  }
  collateWithBox = Place(new QGroupBox(p4), "RadioGroup1", 64, 40, 593, 49);
  withStakesRadio = Place(new QRadioButton(collateWithBox), "Radio1", 16, 20, 150, 22);
  includeSystemBox = Place(new QCheckBox(collateWithBox), "CheckSys", 176, 20, 230, 22);
  withDrawsRadio = Place(new QRadioButton(collateWithBox), "Radio2", 424, 20, 150, 22);
  withStakesRadio->setChecked(true);
  checkResultsBox = Place(new QGroupBox(p4), "GroupBox1", 64, 88, 593, 209);
  // The result panel: per category, top to bottom 6, 5, 4, 3, a caption, a count and the
  // clickable beginning of its list.
  QFont big;
  big.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans")});
  big.setPixelSize(24);
  big.setBold(true);
  QFont listFont = font;
  listFont.setPixelSize(16);
  listFont.setBold(true);
  struct Row {
    QLabel** caption;
    const char* captionName;
    const char* text;
    QLabel** count;
    const char* countName;
    platform::ClickLabel** list;
    const char* listName;
    int y;
    int listHeight;
  };
  const Row rows[] = {
      {&sixesCaption, "Label2", "6 - ", &sixesCount, "LR6", &sixesList, "Lab6", 24, 25},
      {&fivesCaption, "Label3", "5 - ", &fivesCount, "LR5", &fivesList, "Lab5", 64, 25},
      {&foursCaption, "Label4", "4 - ", &foursCount, "LR4", &foursList, "Lab4", 104, 41},
      {&threesCaption, "Label5", "3 - ", &threesCount, "LR3", &threesList, "Lab3", 152, 41}};
  for (const Row& row : rows) {
    *row.caption = Place(new QLabel(QString::fromLatin1(row.text), checkResultsBox),
                         row.captionName, 16, row.y, 41, 33);
    *row.count = Place(new QLabel(checkResultsBox), row.countName, 56, row.y, 73, 33);
    // Red while enabled; a category without coincidences is drawn greyed.
    for (QLabel* label : {*row.caption, *row.count}) {
      QPalette palette = label->palette();
      palette.setColor(QPalette::Active, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Disabled, QPalette::WindowText, kGreyedText);
      label->setPalette(palette);
    }
    auto* list = Place(new platform::ClickLabel(checkResultsBox), row.listName, 128, row.y + 4, 433,
                       row.listHeight);
    list->setAutoFillBackground(true);
    // The lines are broken when the text is set (after an entry's comma, whole lines only), so
    // the label itself does not wrap. A small margin keeps the text off the label's edge.
    list->setWordWrap(false);
    list->setContentsMargins(4, 1, 4, 1);
    list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    list->setCursor(Qt::PointingHandCursor);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80));
    palette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    list->setPalette(palette);
    *row.list = list;
  }
  enterCombinationButton = Button(p4, "BitComb", 32, 312, 145, 41);
  clearCombinationButton = Button(p4, "BitCleanComb", 200, 312, 145, 41);
  checkCombinationButton = Button(p4, "BitTestStav", 368, 312, 145, 41);
  addCombinationButton = Button(p4, "BitFromComb", 536, 312, 145, 41);

  m_statisticsPage =
      new StatisticsPage(statisticsTab, this, *m_ws, [this] { return m_ws->Language; });

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
    statusPanels.push_back(panel);
  }
  panelRow->addStretch(1);

  // The style may give buttons or headers fonts of their own; the layout's font wins.
  for (QWidget* child : client->findChildren<QWidget*>()) child->setFont(font);
  for (QLabel* label : {sixesCaption, fivesCaption, foursCaption, threesCaption, threesCount,
                        foursCount, fivesCount, sixesCount})
    label->setFont(big);
  for (QLabel* list : {threesList, foursList, fivesList, sixesList}) list->setFont(listFont);
  for (int i = 1; i <= 12; ++i) {
    QFont bold = font;
    bold.setBold(true);
    combinationCells[static_cast<std::size_t>(i)]->setFont(bold);
  }

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

  systemMenu = Menu(this, "C1");
  loadSystemAction = Item(systemMenu, "N31");
  saveSystemAction = Item(systemMenu, "N32");
  systemSeparator = Separator(systemMenu, "N33");
  collateSystemAction = Item(systemMenu, "N34");
  deleteAllSystemAction = Item(systemMenu, "N35");

  resultsMenu = Menu(this, "N2");
  loadResultsAction = Item(resultsMenu, "N10");
  downloadResultsAction = Item(resultsMenu, "N42");
  resultsSeparator = Separator(resultsMenu, "N12");
  collateWithMenu = Menu(resultsMenu, "N13");
  resultsMenu->addMenu(collateWithMenu);
  collateWithStakesAction = Item(collateWithMenu, "N23");
  collateWithSystemAction = Item(collateWithMenu, "N24");
  collateWithAllAction = Item(collateWithMenu, "N25");

  checkMenu = Menu(this, "N3");
  enterCombinationAction = Item(checkMenu, "N14");
  checkSeparator = Separator(checkMenu, "N15");
  checkStakesAction = Item(checkMenu, "N16");
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

  helpMenu = Menu(this, "Help");
  helpAction = Item(helpMenu, "N4");
  helpSeparator = Separator(helpMenu, "N36");
  aboutAction = Item(helpMenu, "N11");

  for (QMenu* menu : {stakesMenu, systemMenu, resultsMenu, checkMenu, optionsMenu, helpMenu})
    bar->addMenu(menu);
  exitAction = bar->addAction(QString());
  exitAction->setObjectName(QStringLiteral("N5"));

  stakesPopup = Menu(this, "PopupMenu");
  addStakeItem = Item(stakesPopup, "N17");
  deleteStakeItem = Item(stakesPopup, "N18");
  editStakeItem = Item(stakesPopup, "N19");
  stakesPopupSeparator = Separator(stakesPopup, "N20");
  lineUpStakesItem = Item(stakesPopup, "N21");

  systemPopup = Menu(this, "PopupSys");
  addSystemItem = Item(systemPopup, "N26");
  deleteSystemItem = Item(systemPopup, "N27");
  editSystemItem = Item(systemPopup, "N28");
  systemPopupSeparator = Separator(systemPopup, "N29");
  lineUpSystemItem = Item(systemPopup, "N30");

  auto popup = [](platform::StringGrid* grid, QMenu* menu) {
    QObject::connect(
        grid, &QWidget::customContextMenuRequested, menu,
        [grid, menu](const QPoint& at) { menu->popup(grid->viewport()->mapToGlobal(at)); });
  };
  popup(stakesGrid, stakesPopup);
  popup(systemGrid, systemPopup);
}
