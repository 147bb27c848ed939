#include "app/WinningsCommands.h"

#include <utility>

#include "collate/Collation.h"
#include "dialogs/PrizesDialog.h"
#include "dialogs/WinningsDialog.h"
#include "model/Errors.h"

WinningsCommands::WinningsCommands(QWidget& owner, tallyra::Workspace& ws, LanguageSource language,
                                   const tallyra::DataFiles& files)
    : m_owner(owner), m_ws(ws), m_language(std::move(language)), m_files(files) {}

PrizesDialog& WinningsCommands::prizeDialog() {
  if (!m_prizes) m_prizes = new PrizesDialog(&m_owner, m_language, m_files);
  m_prizes->reload();
  return *m_prizes;
}

void WinningsCommands::editPrizes() {
  PrizesDialog& dialog = prizeDialog();
  dialog.editPrizes([this, &dialog](const tallyra::PrizeTable& table) {
    tallyra::Prizes prizes = dialog.prizes();
    prizes.table = table;
    if (const tallyra::Problem problem =
            tallyra::SavePrizes(m_files.path(tallyra::kPrizeTableFileName), prizes)) {
      throw tallyra::UserError(
          tallyra::Describe(m_files.named(problem, tallyra::kPrizeTableFileName), m_language()));
    }
  });
}

void WinningsCommands::showWinnings() {
  const tallyra::Prizes prizes = prizeDialog().prizes();
  if (!m_winnings) m_winnings = new WinningsDialog(&m_owner, m_language(), m_files);
  tallyra::WinningsInput input;
  input.stakes = tallyra::SnapshotStakes(m_ws);
  input.system = tallyra::SnapshotSystem(m_ws);
  input.draws = tallyra::SnapshotDraws(m_ws);
  m_winnings->setInputs(std::move(input), prizes);
  m_winnings->show();
  m_winnings->raise();
  m_winnings->activateWindow();
  m_winnings->compute();
}

void WinningsCommands::applyTexts() {
  if (m_winnings) m_winnings->setLanguage(m_language());
}
