#include "app/GeneratorCommands.h"

#include <algorithm>
#include <utility>

GeneratorCommands::GeneratorCommands(QWidget& owner, tallyra::Workspace& ws,
                                     LanguageSource language, const tallyra::DataFiles& files,
                                     GeneratorDialog::TakeStakes takeStakes,
                                     GeneratorDialog::TakePool takePool)
    : m_owner(owner),
      m_ws(ws),
      m_language(std::move(language)),
      m_files(files),
      m_takeStakes(std::move(takeStakes)),
      m_takePool(std::move(takePool)) {}

GeneratorDialog::Inputs GeneratorCommands::inputs() const {
  GeneratorDialog::Inputs in;
  in.highest = m_ws.HighestNumber;
  in.history.reserve(static_cast<std::size_t>(m_ws.ResultCount));
  for (int row = 1; row <= m_ws.ResultCount; ++row) {
    tallyra::AnalysisDraw draw{};
    for (int column = 1; column <= 6; ++column) {
      draw[static_cast<std::size_t>(column - 1)] = m_ws.ResultTable.at(column, row);
    }
    std::sort(draw.begin(), draw.end());
    in.history.push_back(draw);
  }
  // The system stakes' numbers, empty slots (0, and 100 as the line-up treats it) left out.
  in.systemStakes.reserve(static_cast<std::size_t>(m_ws.SystemCount));
  for (int row = 1; row <= m_ws.SystemCount; ++row) {
    std::vector<int32_t> numbers;
    for (int slot = 1; slot <= 12; ++slot) {
      const int32_t n = m_ws.SystemTable.at(slot, row);
      if (n > 0 && n < 100) numbers.push_back(n);
    }
    in.systemStakes.push_back(std::move(numbers));
  }
  return in;
}

void GeneratorCommands::openGenerator() {
  if (!m_dialog) {
    m_dialog = new GeneratorDialog(&m_owner, m_language, m_files, m_takeStakes, m_takePool);
  }
  m_dialog->setInputs(inputs());
  m_dialog->applyTexts();
  m_dialog->show();
  m_dialog->raise();
  m_dialog->activateWindow();
}

void GeneratorCommands::listsChanged() {
  if (m_dialog && m_dialog->isVisible()) m_dialog->setInputs(inputs());
}

void GeneratorCommands::applyTexts() {
  if (m_dialog) m_dialog->applyTexts();
}
