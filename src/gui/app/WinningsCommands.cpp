// Options > Prizes and Check > Winnings, as the main window opens them. Both dialogs are made
// on first use and kept as the window's children.

#include <QAction>

#include "app/MainWindow.h"
#include "dialogs/PrizesDialog.h"
#include "dialogs/WinningsDialog.h"
#include "model/Errors.h"
#include "platform/QtTexts.h"

namespace {

// The prize table, read from its file when the dialog is made; later reads keep the table in
// use when the file has gone bad.
PrizesDialog& Prizes(MainWindow& window) {
  if (auto* dialog = window.findChild<PrizesDialog*>(QStringLiteral("PrizesDialog"))) {
    dialog->reload(QString::fromLatin1(tallyra::kPrizeTableFileName));
    return *dialog;
  }
  auto* dialog = new PrizesDialog(&window, [&window] { return window.workspace().Language; });
  dialog->reload(QString::fromLatin1(tallyra::kPrizeTableFileName));
  return *dialog;
}

}  // namespace

void MainWindow::editPrizes() {
  PrizesDialog& dialog = Prizes(*this);
  dialog.editPrizes([this, &dialog](const tallyra::PrizeTable& table) {
    tallyra::Prizes prizes = dialog.prizes();
    prizes.table = table;
    if (const tallyra::Problem problem =
            tallyra::SavePrizes(tallyra::kPrizeTableFileName, prizes)) {
      throw tallyra::UserError(tallyra::Describe(problem, workspace().Language));
    }
  });
}

void MainWindow::showWinnings() {
  const tallyra::Prizes prizes = Prizes(*this).prizes();
  auto* dialog = findChild<WinningsDialog*>(QStringLiteral("WinningsDialog"));
  if (!dialog) dialog = new WinningsDialog(this, workspace().Language);
  tallyra::WinningsInput input;
  input.stakes = tallyra::SnapshotStakes(workspace());
  input.system = tallyra::SnapshotSystem(workspace());
  input.draws = tallyra::SnapshotDraws(workspace());
  dialog->setInputs(std::move(input), prizes);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  dialog->compute();
}

void MainWindow::applyWinningsTexts() {
  if (auto* item = findChild<QAction*>(QStringLiteral("PrizesItem")))
    item->setText(T(tallyra::TextId::TxtMenuPrizes));
  if (auto* item = findChild<QAction*>(QStringLiteral("WinningsItem")))
    item->setText(T(tallyra::TextId::TxtMenuWinnings));
  if (auto* dialog = findChild<WinningsDialog*>(QStringLiteral("WinningsDialog")))
    dialog->setLanguage(workspace().Language);
}
