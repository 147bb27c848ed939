#pragma once

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/Workspace.h"

class AnalysisWindow;
class QWidget;

// Results > Analysis of the draws and the Statistics tab's button: the analysis window gets
// the draws held and M from the Workspace. The window is made on first use as the owner's
// child and kept, so a second opening raises the same window with its range and tab.
class AnalysisCommands final {
 public:
  // The window's file dialogs first start in the data folder of `files`.
  AnalysisCommands(QWidget& owner, const tallyra::Workspace& ws, LanguageSource language,
                   const tallyra::DataFiles& files);

  // Shows the window over the draws held, or raises it when it is open.
  void showAnalysis();
  // The draws were loaded, imported, downloaded or cleared: an open window follows them.
  void drawsChanged();
  // An open window follows the interface language.
  void applyTexts();

 private:
  void giveHistory();

  QWidget& m_owner;
  const tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  AnalysisWindow* m_window = nullptr;
};
