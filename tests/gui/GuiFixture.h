#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "ListFill.h"
#include "app/MainWindow.h"
#include "model/DataFiles.h"
#include "platform/ClickLabel.h"
#include "platform/DialogScript.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

// Runs each test with a data folder of its own, as if the program had been given it, with
// every message box and file dialog answered by the script.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  void TearDown() override { form.reset(); }

  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(m_dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadFile(const QString& name) {
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString Path(const QString& name) const { return m_dir.filePath(name); }
  // The test's data folder, as the window and whatever keeps a file there are given it.
  tallyra::DataFiles Files() const {
    return tallyra::DataFiles(platform::ToLocalPath(m_dir.path()));
  }

  // Builds the main window (the settings are read here) and shows it (the first showing
  // loads the results).
  MainWindow& Start() {
    form = std::make_unique<MainWindow>(Files());
    form->show();
    return *form;
  }

  // Starts in English with M = 49 and no draws, the start-up messages forgotten.
  MainWindow& StartEnglish() {
    WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
    Start();
    script.messages.clear();
    return *form;
  }

  // A control by its object name: in the window's client area, then its status bar, then
  // anywhere in the window (menus, actions), or in `parent` when given. Fails the test when
  // there is none, so a renamed control is noticed.
  template <typename W = QWidget>
  W* Find(const QString& name, const QObject* parent = nullptr) const {
    W* found = nullptr;
    if (parent) {
      found = parent->findChild<W*>(name);
    } else {
      for (const QObject* root : {static_cast<const QObject*>(form->centralWidget()),
                                  static_cast<const QObject*>(form->statusBar()),
                                  static_cast<const QObject*>(form.get())}) {
        if ((found = root->findChild<W*>(name))) break;
      }
    }
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
  }
  template <typename W = QWidget>
  W* Find(const char* name, const QObject* parent = nullptr) const {
    return Find<W>(QString::fromLatin1(name), parent);
  }
  // One of the window's own dialogs, by its object name.
  QDialog* FindDialog(const QString& name) const { return form->findChild<QDialog*>(name); }
  // Clicks a push button of the window (or of `parent`) by its object name.
  void Click(const QString& name, const QObject* parent = nullptr) const {
    if (auto* button = Find<QAbstractButton>(name, parent)) button->click();
  }
  void Click(const char* name, const QObject* parent = nullptr) const {
    Click(QString::fromLatin1(name), parent);
  }
  // Triggers a menu command by its object name.
  void Trigger(const char* name) const {
    if (QAction* action = Action(name)) action->trigger();
  }

  platform::StringGrid* Grid(const char* name) const { return Find<platform::StringGrid>(name); }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QLabel* Label(const char* name) const { return Find<QLabel>(name); }
  platform::ClickLabel* ClickLabel(const char* name) const {
    return Find<platform::ClickLabel>(name);
  }
  QTabWidget* Tabs() const { return Find<QTabWidget>("PageControl"); }
  QWidget* Tab(const char* name) const { return Find<QWidget>(name); }
  QRadioButton* Radio(const char* name) const { return Find<QRadioButton>(name); }
  QCheckBox* CheckBox(const char* name) const { return Find<QCheckBox>(name); }
  QGroupBox* Group(const char* name) const { return Find<QGroupBox>(name); }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  QMenu* Menu(const char* name) const { return Find<QMenu>(name); }
  // The Check tab's twelve number labels, 1..12.
  QLabel* CheckLabel(int k) const { return Find<QLabel>(QStringLiteral("L%1").arg(k)); }
  // The status bar's panels, 0..6 from the left.
  QLabel* StatusPanel(int i) const { return Find<QLabel>(QStringLiteral("SBarPanel%1").arg(i)); }
  // The text of a grid's cell.
  QString Cell(const char* grid, int row, int column) const {
    platform::StringGrid* g = Grid(grid);
    return g ? g->model().cellText(row, column) : QString();
  }

  // Fill the stakes, the system stakes or the draws as a load of a file holding `rows` does
  // (ListFill.h), and show them in the grids as a load does. The tab shown stays, and so do the
  // statistics: a test that needs them loads the draws through the Results menu. A list filled
  // empty keeps its grid as it was, as the window's refresh does.
  void FillStakes(const tallyra::test::Rows& rows) {
    tallyra::test::FillStakes(form->workspace(), rows);
    form->refreshGrids();
  }
  void FillSystem(const tallyra::test::Rows& rows) {
    tallyra::test::FillSystem(form->workspace(), rows);
    form->refreshGrids();
  }
  void FillDraws(const tallyra::test::Rows& rows) {
    tallyra::test::FillDraws(form->workspace(), rows);
    form->refreshGrids();
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& m : script.messages) texts << m.text;
    return texts;
  }

  platform::DialogScript script;
  std::unique_ptr<MainWindow> form;

 private:
  QTemporaryDir m_dir;
};

// Presses Cancel on a long task's progress window when it is shown: the window's Show event, not
// a clock, says when.
class CancelWhenProgressShows final : public QObject {
 public:
  CancelWhenProgressShows() { qApp->installEventFilter(this); }
  ~CancelWhenProgressShows() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* progress = qobject_cast<QProgressDialog*>(watched);
    if (progress && event->type() == QEvent::Show) {
      QTimer::singleShot(0, progress, [progress] {
        if (auto* button = progress->findChild<QPushButton*>()) button->click();
      });
    }
    return false;
  }
};
