#include "app/AnalysisCommands.h"

#include <vector>

#include "dialogs/AnalysisWindow.h"
#include "stats/Analysis.h"

AnalysisCommands::AnalysisCommands(QWidget& owner, const tallyra::Workspace& ws,
                                   LanguageSource language, const tallyra::DataFiles& files)
    : m_owner(owner), m_ws(ws), m_language(std::move(language)), m_files(files) {}

void AnalysisCommands::giveHistory() {
  std::vector<tallyra::AnalysisDraw> history(static_cast<std::size_t>(m_ws.ResultCount));
  for (int row = 1; row <= m_ws.ResultCount; ++row) {
    for (int column = 1; column <= 6; ++column) {
      history[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] =
          m_ws.ResultTable.at(column, row);
    }
  }
  m_window->setHistory(std::move(history), m_ws.HighestNumber);
}

void AnalysisCommands::showAnalysis() {
  if (!m_window) {
    m_window = new AnalysisWindow(&m_owner, m_language(), m_files);
  } else {
    m_window->setLanguage(m_language());
  }
  giveHistory();
  if (m_window->isMinimized()) m_window->showNormal();
  m_window->show();
  m_window->raise();
  m_window->activateWindow();
}

void AnalysisCommands::drawsChanged() {
  if (m_window && m_window->isVisible()) giveHistory();
}

void AnalysisCommands::applyTexts() {
  if (m_window) m_window->setLanguage(m_language());
}
