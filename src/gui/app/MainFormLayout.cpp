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
#include "app/MainForm.h"
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

void TMainForm::BuildLayout() {
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

  Image1 = Place(new platform::ClickLabel(client), "Image1", 8, 2, 721, 20);
  Image2 = Place(new platform::ClickLabel(client), "Image2", 8, 2, 721, 20);
  Image1->setPixmap(artwork::Banner(0));
  Image2->setPixmap(artwork::Banner(1));
  for (QLabel* banner : {Image1, Image2}) banner->setCursor(Qt::PointingHandCursor);

  PageControl = Place(new QTabWidget(client), "PageControl", 8, 23, 721, 425);
  PageControl->setDocumentMode(false);
  PageControl->tabBar()->setExpanding(false);
  // Tabs drawn as buttons.
  PageControl->setStyleSheet(QStringLiteral(
      "QTabWidget::pane { border: none; }"
      "QTabBar { font-family: Arial, 'Liberation Sans'; font-size: 14px; }"
      "QTabBar::tab { border: 2px outset #d8d8d8; background: #ececec; padding: 3px 10px;"
      " margin-right: 3px; min-height: 18px; }"
      "QTabBar::tab:selected { border: 2px inset #d8d8d8; background: #f8f8f8; }"));
  TabImages = artwork::TabImages();
  const char* tabNames[] = {"TS1", "TS2", "TS3", "TS4", "TS5"};
  QWidget** tabs[] = {&TS1, &TS2, &TS3, &TS4, &TS5};
  for (int i = 0; i < 5; ++i) {
    *tabs[i] = new QWidget;
    (*tabs[i])->setObjectName(QString::fromLatin1(tabNames[i]));
    PageControl->addTab(*tabs[i], QString());
  }

  // Stakes.
  QWidget* p1 = Panel(TS1);
  SGStav = Grid(p1, "SGStav", 48, 8, 617, 297, std::vector<int>(11, 53));
  SGStav->model().setCountColumns(7, 10);
  BitEnter = Button(p1, "BitEnter", 48, 312);
  BitDel = Button(p1, "BitDel", 264, 312);
  BitTest = Button(p1, "BitTest", 480, 312);

  // System stakes.
  QWidget* p2 = Panel(TS2);
  std::vector<int> sysWidths(12, 33);
  sysWidths.insert(sysWidths.end(), {30, 39, 39, 39, 40});
  SGSys = Grid(p2, "SGSys", 48, 8, 617, 297, sysWidths);
  SGSys->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGSys->model().setCountColumns(13, 16);
  BitEnterSys = Button(p2, "BitEnterSys", 48, 312);
  BitDelSys = Button(p2, "BitDelSys", 264, 312);
  BitTestSys = Button(p2, "BitTestSys", 480, 312);

  // Results.
  QWidget* p3 = Panel(TS3);
  SGRes = Grid(p3, "SGRes", 144, 8, 433, 297, std::vector<int>(7, 58));
  BitRes = Button(p3, "BitRes", 48, 312);
  BitSys = Button(p3, "BitSys", 264, 312);
  BitAll = Button(p3, "BitAll", 480, 312);

  // Check.
  QWidget* p4 = Panel(TS4);
  Label1 = Place(new QLabel(p4), "Label1", 29, 11, 175, 20);
  L.assign(13, nullptr);
  for (int i = 1; i <= 12; ++i) {
    const int x = i <= 6 ? 208 + 40 * (i - 1) : 464 + 40 * (i - 7);
    const QByteArray name = "L" + QByteArray::number(i);
    L[i] = Place(new QLabel(p4), name.constData(), x, 8, 33, 25);
    L[i]->setAlignment(Qt::AlignCenter);
    L[i]->setAutoFillBackground(true);
    QPalette palette = L[i]->palette();
    palette.setColor(QPalette::Window,
                     i <= 6 ? QColor(0x00, 0x80, 0x00) : QColor(0x80, 0x80, 0x00));
    // Maroon numbers on green, purple ones on olive.
    palette.setColor(QPalette::WindowText,
                     i <= 6 ? QColor(0x80, 0x00, 0x00) : QColor(0x80, 0x00, 0x80));
    L[i]->setPalette(palette);
  }
  RadioGroup1 = Place(new QGroupBox(p4), "RadioGroup1", 64, 40, 593, 49);
  Radio1 = Place(new QRadioButton(RadioGroup1), "Radio1", 16, 20, 150, 22);
  CheckSys = Place(new QCheckBox(RadioGroup1), "CheckSys", 176, 20, 230, 22);
  Radio2 = Place(new QRadioButton(RadioGroup1), "Radio2", 424, 20, 150, 22);
  Radio1->setChecked(true);
  GroupBox1 = Place(new QGroupBox(p4), "GroupBox1", 64, 88, 593, 209);
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
  const Row rows[] = {{&Label2, "Label2", "6 - ", &LR6, "LR6", &Lab6, "Lab6", 24, 25},
                      {&Label3, "Label3", "5 - ", &LR5, "LR5", &Lab5, "Lab5", 64, 25},
                      {&Label4, "Label4", "4 - ", &LR4, "LR4", &Lab4, "Lab4", 104, 41},
                      {&Label5, "Label5", "3 - ", &LR3, "LR3", &Lab3, "Lab3", 152, 41}};
  for (const Row& row : rows) {
    *row.caption = Place(new QLabel(QString::fromLatin1(row.text), GroupBox1), row.captionName, 16,
                         row.y, 41, 33);
    *row.count = Place(new QLabel(GroupBox1), row.countName, 56, row.y, 73, 33);
    // Red while enabled; a category without coincidences is drawn greyed.
    for (QLabel* label : {*row.caption, *row.count}) {
      QPalette palette = label->palette();
      palette.setColor(QPalette::Active, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::red);
      palette.setColor(QPalette::Disabled, QPalette::WindowText, kGreyedText);
      label->setPalette(palette);
    }
    auto* list = Place(new platform::ClickLabel(GroupBox1), row.listName, 128, row.y + 4, 433,
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
  BitComb = Button(p4, "BitComb", 32, 312, 145, 41);
  BitCleanComb = Button(p4, "BitCleanComb", 200, 312, 145, 41);
  BitTestStav = Button(p4, "BitTestStav", 368, 312, 145, 41);
  BitFromComb = Button(p4, "BitFromComb", 536, 312, 145, 41);

  m_statisticsPage = new StatisticsPage(TS5, this, *m_ws, [this] { return m_ws->Language; });

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
    SBar.push_back(panel);
  }
  panelRow->addStretch(1);

  // The style may give buttons or headers fonts of their own; the layout's font wins.
  for (QWidget* child : client->findChildren<QWidget*>()) child->setFont(font);
  for (QLabel* label : {Label2, Label3, Label4, Label5, LR3, LR4, LR5, LR6}) label->setFont(big);
  for (QLabel* list : {Lab3, Lab4, Lab5, Lab6}) list->setFont(listFont);
  for (int i = 1; i <= 12; ++i) {
    QFont bold = font;
    bold.setBold(true);
    L[static_cast<std::size_t>(i)]->setFont(bold);
  }

  BuildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TMainForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  N1 = Menu(this, "N1");
  N6 = Item(N1, "N6");
  N7 = Item(N1, "N7");
  N8 = Separator(N1, "N8");
  N9 = Item(N1, "N9");
  N22 = Item(N1, "N22");

  C1 = Menu(this, "C1");
  N31 = Item(C1, "N31");
  N32 = Item(C1, "N32");
  N33 = Separator(C1, "N33");
  N34 = Item(C1, "N34");
  N35 = Item(C1, "N35");

  N2 = Menu(this, "N2");
  N10 = Item(N2, "N10");
  N42 = Item(N2, "N42");
  N12 = Separator(N2, "N12");
  N13 = Menu(N2, "N13");
  N2->addMenu(N13);
  N23 = Item(N13, "N23");
  N24 = Item(N13, "N24");
  N25 = Item(N13, "N25");

  N3 = Menu(this, "N3");
  N14 = Item(N3, "N14");
  N15 = Separator(N3, "N15");
  N16 = Item(N3, "N16");

  N43 = Menu(this, "N43");
  Language1 = Menu(N43, "Language1");
  N43->addMenu(Language1);
  Eng = Item(Language1, "Eng");
  Rus = Item(Language1, "Rus");
  Eng->setCheckable(true);
  Rus->setCheckable(true);
  N44 = Separator(N43, "N44");
  Y1 = Item(N43, "Y1");

  Help = Menu(this, "Help");
  N4 = Item(Help, "N4");
  N36 = Separator(Help, "N36");
  N11 = Item(Help, "N11");

  for (QMenu* menu : {N1, C1, N2, N3, N43, Help}) bar->addMenu(menu);
  N5 = bar->addAction(QString());
  N5->setObjectName(QStringLiteral("N5"));

  PopupMenu = Menu(this, "PopupMenu");
  N17 = Item(PopupMenu, "N17");
  N18 = Item(PopupMenu, "N18");
  N19 = Item(PopupMenu, "N19");
  N20 = Separator(PopupMenu, "N20");
  N21 = Item(PopupMenu, "N21");

  PopupSys = Menu(this, "PopupSys");
  N26 = Item(PopupSys, "N26");
  N27 = Item(PopupSys, "N27");
  N28 = Item(PopupSys, "N28");
  N29 = Separator(PopupSys, "N29");
  N30 = Item(PopupSys, "N30");

  auto popup = [](platform::StringGrid* grid, QMenu* menu) {
    QObject::connect(
        grid, &QWidget::customContextMenuRequested, menu,
        [grid, menu](const QPoint& at) { menu->popup(grid->viewport()->mapToGlobal(at)); });
  };
  popup(SGStav, PopupMenu);
  popup(SGSys, PopupSys);
}
