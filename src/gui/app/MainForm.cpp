#include "app/MainForm.h"

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

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  MainForm = this;
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  // The Workspace first: the tabs show it.
  m_ws = tallyra::CreateWorkspace();
  BuildLayout();
  OpenD = {QString(),
           QStringLiteral("Stavka.txt"),
           {QStringLiteral("*.txt (*.txt)")},
           QStringLiteral("txt"),
           false};
  SaveD = {QString(),
           QStringLiteral("Stavka.txt"),
           {QStringLiteral("*.txt (*.txt)"), QStringLiteral("All files (*)")},
           QStringLiteral("txt"),
           true};
  BindHandlers();

  m_downloadUrl = QStringLiteral("http://") + QString::fromLatin1(tallyra::publisher::kWebHost) +
                  QString::fromLatin1(tallyra::publisher::kResultsPath);
  ReadSettings();
  BindListCells();
  platform::UseQtLanguage(m_ws->Language);
  ResetMatchPanel();

  // The dialogs, created after the main window and kept until the end.
  const LanguageSource language = [this] { return m_ws->Language; };
  m_entryDialog = new EntryDialog(this, language);
  m_listViewer = new ListViewer(this, language);
  m_aboutDialog = new AboutDialog(this, language);
  m_optionsDialog = new OptionsDialog(this, language);
  connect(m_entryDialog, &EntryDialog::entered, this,
          [this](EntryMode mode) { RunGuarded([&] { EntryStored(mode); }); });
  connect(m_entryDialog, &EntryDialog::modeSwitched, this,
          [this](EntryMode mode) { RunGuarded([&] { EntryModeSwitched(mode); }); });
  connect(m_entryDialog, &EntryDialog::systemBoxToggled, this,
          [this] { RunGuarded([&] { PageControlChange(); }); });
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

QString TMainForm::T(TextId id) const {
  return platform::Tr(id, m_ws->Language);
}

void TMainForm::BindHandlers() {
  auto bind = [this](QAction* action, auto handler) {
    connect(action, &QAction::triggered, this,
            [this, handler] { RunGuarded([&] { std::invoke(handler, *this); }); });
  };
  auto bindButton = [this](QPushButton* button, auto handler) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunGuarded([&] { std::invoke(handler, *this); }); });
  };
  bind(N5, &TMainForm::N5Click);
  bind(N10, &TMainForm::N10Click);

  for (QAction* add : {N17}) bind(add, &TMainForm::BitEnterClick);
  bind(N18, &TMainForm::BitDelClick);
  bind(N19, &TMainForm::SGStavDblClick);
  bind(N21, &TMainForm::N21Click);
  bind(N22, &TMainForm::N22Click);
  bind(N6, &TMainForm::N6Click);
  bind(N7, [](TMainForm& f) { f.N7Click(); });
  bind(N26, &TMainForm::BitEnterSysClick);
  bind(N27, &TMainForm::BitDelSysClick);
  bind(N28, &TMainForm::N28Click);
  bind(N30, &TMainForm::N30Click);
  bind(N35, &TMainForm::N35Click);
  bind(N31, &TMainForm::N31Click);
  bind(N32, [](TMainForm& f) { f.N32Click(); });
  bindButton(BitTest, &TMainForm::BitTestClick);
  bind(N9, &TMainForm::BitTestClick);
  bindButton(BitRes, &TMainForm::BitResClick);
  bind(N23, &TMainForm::BitResClick);
  bindButton(BitSys, &TMainForm::BitSysClick);
  bind(N24, &TMainForm::BitSysClick);
  bindButton(BitTestSys, &TMainForm::BitTestSysClick);
  bind(N34, &TMainForm::BitTestSysClick);
  bindButton(BitAll, &TMainForm::BitAllClick);
  bind(N25, &TMainForm::BitAllClick);
  bindButton(BitComb, &TMainForm::BitCombClick);
  bind(N14, &TMainForm::BitCombClick);
  bindButton(BitCleanComb, &TMainForm::BitCleanCombClick);
  bindButton(BitTestStav, &TMainForm::BitTestStavClick);
  bind(N16, &TMainForm::BitTestStavClick);
  bindButton(BitFromComb, &TMainForm::BitFromCombClick);
  connect(Radio1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RunGuarded([&] { Radio1Click(); });
  });
  connect(Radio2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) RunGuarded([&] { Radio2Click(); });
  });
  auto bindLabel = [this](platform::ClickLabel* label, void (TMainForm::*handler)()) {
    connect(label, &platform::ClickLabel::clicked, this,
            [this, handler] { RunGuarded([&] { (this->*handler)(); }); });
  };
  bindLabel(Lab3, &TMainForm::Lab3Click);
  bindLabel(Lab4, &TMainForm::Lab4Click);
  bindLabel(Lab5, &TMainForm::Lab5Click);
  bindLabel(Lab6, &TMainForm::Lab6Click);
  bind(N42, &TMainForm::N42Click);
  bind(N4, &TMainForm::N4Click);
  bind(N11, &TMainForm::N11Click);
  bind(Y1, &TMainForm::N43Click);
  for (platform::ClickLabel* banner : {Image1, Image2}) {
    connect(banner, &platform::ClickLabel::clicked, this,
            [this] { RunGuarded([&] { Image1Click(); }); });
  }
  bindButton(BitEnter, &TMainForm::BitEnterClick);
  bindButton(BitDel, &TMainForm::BitDelClick);
  bindButton(BitEnterSys, &TMainForm::BitEnterSysClick);
  bindButton(BitDelSys, &TMainForm::BitDelSysClick);
  connect(SGStav, &QAbstractItemView::doubleClicked, this,
          [this] { RunGuarded([&] { SGStavDblClick(); }); });
  connect(SGSys, &QAbstractItemView::doubleClicked, this,
          [this] { RunGuarded([&] { N28Click(); }); });
  connect(SGStav, &platform::StringGrid::keyDown, this,
          [this](int key) { RunGuarded([&] { SGStavKeyDown(key); }); });
  connect(SGSys, &platform::StringGrid::keyDown, this,
          [this](int key) { RunGuarded([&] { SGSysKeyDown(key); }); });
  for (QAction* item : {Eng, Rus}) {
    connect(item, &QAction::triggered, this,
            [this, item] { platform::RunHandler(this, [&] { EngClick(item); }); });
  }
  connect(PageControl, &QTabWidget::currentChanged, this,
          [this] { platform::RunHandler(this, [&] { PageControlChange(); }); });
}

void TMainForm::ReadSettings() {
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

void TMainForm::WriteSettings() {
  const auto error = tallyra::WriteFileReplacing(
      tallyra::kSettingsFileName, tallyra::FormatSettings(m_ws->HighestNumber, m_ws->Language));
  if (error) {
    throw tallyra::UserError(tallyra::Format(
        TextId::TxtCannotWrite, m_ws->Language,
        {tallyra::kSettingsFileName, tallyra::DescribeFileError(*error, m_ws->Language)}));
  }
}

void TMainForm::ShowPlainMessage(TextId id) {
  platform::ShowMessage(this, T(TextId::TxtAppTitle), T(id));
}

void TMainForm::SetPanel(int panel, int32_t value) {
  SBar[panel]->setText(QString::number(value));
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_shown) return;
  m_shown = true;
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  platform::RunHandler(this, [&] { FormShow(); });
}

void TMainForm::FormShow() {
  ApplyTexts();
  LoadStartupResults();
  RefreshGrids();
  m_statisticsPage->presetRows(m_ws->HighestNumber);
  m_statisticsPage->compute();
  m_statisticsPage->show();
  Rus->setChecked(m_ws->Language == 0);
  Eng->setChecked(m_ws->Language != 0);
  PageControlChange();
}

void TMainForm::PageControlChange() {
  const int shown = PageControl->currentIndex();
  if (shown < 0 || shown >= 5) return;
  for (int i = 0; i < 5; ++i) PageControl->setTabIcon(i, TabImages[i == shown ? 0 : 2]);
}

void TMainForm::N5Click() {
  close();
}

void TMainForm::ShowTab(QWidget* tab) {
  PageControl->setCurrentWidget(tab);
  PageControlChange();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (m_collating) {
    // The run stops first; the window closes, with the usual questions, right after it.
    m_closeAfterRun = true;
    m_stopRun.store(true);
    event->ignore();
    return;
  }
  bool close = true;
  platform::RunHandler(this, [&] { close = FormClose(); });
  if (close) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
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

bool TMainForm::FormClose() {
  if (m_ws->StakeCount == 0 && m_ws->SystemCount == 0) return true;
  // A Yes whose save does not go through keeps the program open, so no work is lost.
  if (m_ws->StakeCount > 0 &&
      platform::AskYesNo(nullptr, T(TextId::TxtCapExit), T(TextId::TxtAskSaveStakes)) &&
      !N7Click()) {
    return false;
  }
  if (m_ws->SystemCount > 0 &&
      platform::AskYesNo(nullptr, T(TextId::TxtCapExit), T(TextId::TxtAskSaveSystem)) &&
      !N32Click()) {
    return false;
  }
  return true;
}

void TMainForm::EngClick(QAction* sender) {
  m_ws->Language = sender == Eng ? 1 : 0;
  Rus->setChecked(m_ws->Language == 0);
  Eng->setChecked(m_ws->Language == 1);
  platform::UseQtLanguage(m_ws->Language);
  ApplyTexts();
  WriteSettings();
}

void TMainForm::ApplyTexts() {
  // Header cells.
  auto& stav = SGStav->model();
  stav.setHeader(0, QStringLiteral("    №"));
  for (int c = 1; c <= 6; ++c) stav.setHeader(c, QString());
  stav.setHeader(7, QStringLiteral("    6"));
  stav.setHeader(8, QStringLiteral("    5"));
  stav.setHeader(9, QStringLiteral("    4"));
  stav.setHeader(10, QStringLiteral("    3"));
  auto& res = SGRes->model();
  res.setHeader(0, T(TextId::TxtColDraw));
  for (int c = 1; c <= 6; ++c) res.setHeader(c, QStringLiteral("     ") + QString::number(c));
  auto& sys = SGSys->model();
  sys.setHeader(0, QStringLiteral("  №"));
  for (int c = 1; c <= 12; ++c) sys.setHeader(c, QString());
  sys.setHeader(13, QStringLiteral("  6..."));
  sys.setHeader(14, QStringLiteral("  5"));
  sys.setHeader(15, QStringLiteral("  4"));
  sys.setHeader(16, QStringLiteral("  3"));
  m_statisticsPage->applyTexts();

  // Menus.
  N1->setTitle(T(TextId::TxtMenuStakes));
  for (QAction* load : {N6, N31, N10}) load->setText(T(TextId::TxtMenuLoad));
  for (QAction* save : {N7, N32}) save->setText(T(TextId::TxtMenuSave));
  for (QAction* collate : {N9, N34}) collate->setText(T(TextId::TxtMenuCollate));
  for (QAction* all : {N22, N35}) all->setText(T(TextId::TxtMenuDeleteAll));
  C1->setTitle(T(TextId::TxtMenuSystemGame));
  N2->setTitle(T(TextId::TxtMenuResults));
  N42->setText(T(TextId::TxtMenuFromInternet));
  N13->setTitle(T(TextId::TxtMenuCollateWith));
  N23->setText(T(TextId::TxtMenuWithStakes));
  N24->setText(T(TextId::TxtMenuWithSystem));
  N25->setText(T(TextId::TxtMenuWithAll));
  N3->setTitle(T(TextId::TxtMenuCheck));
  N14->setText(T(TextId::TxtMenuEnterResult));
  N16->setText(T(TextId::TxtMenuCheckStakes));
  N43->setTitle(T(TextId::TxtMenuOptions));
  Language1->setTitle(QStringLiteral("Language"));
  Eng->setText(QStringLiteral("&English"));
  Rus->setText(T(TextId::TxtMenuRussian));
  Y1->setText(T(TextId::TxtMenuPreferences));
  Help->setTitle(T(TextId::TxtMenuHelp));
  N4->setText(T(TextId::TxtMenuHelp));
  N11->setText(T(TextId::TxtMenuAbout));
  N5->setText(T(TextId::TxtMenuExit));

  setWindowTitle(T(TextId::TxtMainCaption));
  OpenD.title = T(TextId::TxtOpenTitle);
  SaveD.title = T(TextId::TxtSaveTitle);

  // Tabs, buttons, boxes and labels.
  PageControl->setTabText(0, T(TextId::TxtTabStakes));
  PageControl->setTabText(1, T(TextId::TxtTabSystem));
  PageControl->setTabText(2, T(TextId::TxtTabResults));
  PageControl->setTabText(3, T(TextId::TxtTabCheck));
  PageControl->setTabText(4, T(TextId::TxtTabStatistics));
  for (QPushButton* del : {BitDel, BitDelSys}) del->setText(T(TextId::TxtDelete));
  for (QPushButton* add : {BitEnter, BitEnterSys}) add->setText(T(TextId::TxtAdd));
  for (QPushButton* collate : {BitTest, BitTestSys}) collate->setText(T(TextId::TxtCollate));
  BitAll->setText(T(TextId::TxtCollateAll));
  BitRes->setText(T(TextId::TxtCollateStakes));
  BitSys->setText(T(TextId::TxtCollateSystem));
  BitCleanComb->setText(T(TextId::TxtClean));
  BitComb->setText(T(TextId::TxtEnterCombination));
  BitFromComb->setText(T(TextId::TxtAddToStakes));
  BitTestStav->setText(T(TextId::TxtCheck));
  CheckSys->setText(T(TextId::TxtIncludeSystem));
  GroupBox1->setTitle(T(TextId::TxtCheckResults));
  for (QLabel* list : {Lab3, Lab4, Lab5, Lab6}) list->setToolTip(T(TextId::TxtClickForList));
  Label1->setText(T(TextId::TxtCurrentCombination));
  Radio1->setText(T(TextId::TxtWithStakes));
  Radio2->setText(T(TextId::TxtWithResults));
  RadioGroup1->setTitle(T(TextId::TxtCollateWithBox));
  for (QAction* edit : {N19, N28}) edit->setText(T(TextId::TxtEdit));
  for (QAction* lineUp : {N21, N30}) lineUp->setText(T(TextId::TxtLineUp));
  for (QAction* add : {N17, N26}) add->setText(T(TextId::TxtAdd));
  for (QAction* del : {N18, N27}) del->setText(T(TextId::TxtDelete));
  SBar[0]->setText(T(TextId::TxtPanelStakes));
  SBar[2]->setText(T(TextId::TxtPanelSystem));
  SBar[4]->setText(T(TextId::TxtPanelDraws));
  for (QLabel* banner : {Image1, Image2}) banner->setToolTip(T(TextId::TxtBannerHint));

  Image2->setVisible(m_ws->Language != 0);
}
