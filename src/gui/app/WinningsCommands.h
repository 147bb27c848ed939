#pragma once

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/Workspace.h"

class PrizesDialog;
class QWidget;
class WinningsDialog;

// Options > Prizes and Check > Winnings. Both dialogs are made on first use and kept as the
// owner's children; the winnings are those of the Workspace's lists at the time of asking. The
// prize table is "prizes.tly" in the data folder of `files`, where the file dialogs first start.
class WinningsCommands final {
 public:
  WinningsCommands(QWidget& owner, tallyra::Workspace& ws, LanguageSource language,
                   const tallyra::DataFiles& files);

  // Shows the prize table; what OK takes is written to the prize file.
  void editPrizes();
  // Shows the winnings of the stakes, the system stakes and the draws, and computes them.
  void showWinnings();
  // An open report follows the interface language.
  void applyTexts();

 private:
  // The prize table, read from its file each time; a read keeps the table in use when the file
  // has gone bad.
  PrizesDialog& prizeDialog();

  QWidget& m_owner;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  PrizesDialog* m_prizes = nullptr;
  WinningsDialog* m_winnings = nullptr;
};
