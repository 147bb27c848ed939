// The keys every desktop program has: open, save and quit, and F1 for the help.

#include <QAction>
#include <QApplication>
#include <QTabWidget>

#include "app/MainWindow.h"
#include "pages/ListPage.h"

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
  // The dialogs' F1 comes by the program's event filter: a dialog knows its page of the help
  // but not the help window.
  qApp->installEventFilter(this);
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

void MainWindow::loadStakesFromFile(const QString& path) {
  m_stakesPage->loadPath(path);
}
