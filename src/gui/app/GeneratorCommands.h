#pragma once

#include <functional>

#include "dialogs/DialogFrame.h"
#include "dialogs/GeneratorDialog.h"
#include "model/DataFiles.h"
#include "model/Workspace.h"

class QWidget;

// Stakes > Generate stakes through filters...: what the generator is given from the
// Workspace (M, the draws, the system stakes), and where what it makes goes: the stakes list
// through `takeStakes` (as an import puts rows in), its pool to the wheels through `takePool`.
// The dialog is made on first use and kept as the owner's child, so the filters of the last
// use are there next time; it follows the draws and M while it is open.
class GeneratorCommands final {
 public:
  GeneratorCommands(QWidget& owner, tallyra::Workspace& ws, LanguageSource language,
                    const tallyra::DataFiles& files, GeneratorDialog::TakeStakes takeStakes,
                    GeneratorDialog::TakePool takePool);

  void openGenerator();
  // The draws, M or the system stakes changed.
  void listsChanged();
  void applyTexts();
  GeneratorDialog* dialog() const { return m_dialog; }

 private:
  GeneratorDialog::Inputs inputs() const;

  QWidget& m_owner;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  GeneratorDialog::TakeStakes m_takeStakes;
  GeneratorDialog::TakePool m_takePool;
  GeneratorDialog* m_dialog = nullptr;
};
