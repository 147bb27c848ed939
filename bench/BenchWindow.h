#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/MainWindow.h"
#include "model/DataFiles.h"
#include "platform/DialogScript.h"
#include "platform/QtTexts.h"
#include "platform/StringGrid.h"

// A data folder of its own, with a settings file for English and M = 49; every dialog is
// answered by the script.
class BenchFolder {
 public:
  BenchFolder() { Write("ini.tly", "49\r\n1\r\n"); }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
  // The folder as the window is given it.
  tallyra::DataFiles files() const {
    return tallyra::DataFiles(platform::ToLocalPath(m_dir.path()));
  }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  }

  platform::DialogScript script;

 private:
  QTemporaryDir m_dir;
};

// The main window shown in such a folder.
class BenchWindow : public BenchFolder {
 public:
  BenchWindow() : form(std::make_unique<MainWindow>(files())) {
    form->show();
    script.messages.clear();
  }
  ~BenchWindow() { form.reset(); }

  // One of the window's grids by its object name ("SGStav", "SGSys", "SGRes", "SGStat").
  platform::StringGrid* grid(const char* name) const {
    return form->findChild<platform::StringGrid*>(QString::fromLatin1(name));
  }
  // A menu command or a button, by its object name, run as a user runs it.
  void trigger(const char* name) const {
    if (auto* action = form->findChild<QAction*>(QString::fromLatin1(name))) action->trigger();
  }
  // A button of the window's client area: the dialogs have buttons of the same names.
  void click(const char* name) const {
    const QString object = QString::fromLatin1(name);
    if (auto* button = form->centralWidget()->findChild<QAbstractButton*>(object)) button->click();
  }

  std::unique_ptr<MainWindow> form;
};
