#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/Workspace.h"

class QWidget;
class WheelsDialog;

// Check > Wheels...: what the wheels dialog is given from the Workspace's lists, and how the
// wheel it sends joins the stakes. The dialog is made on first use and kept as the owner's
// child, so the last pool and wheel are there next time.
class WheelsCommands final {
 public:
  // Runs once a wheel has joined the stakes, for the window to show them.
  using StakesGrew = std::function<void()>;

  // The ticket's price comes from "prizes.tly" in the data folder of `files`.
  WheelsCommands(QWidget& owner, tallyra::Workspace& ws, LanguageSource language,
                 const tallyra::DataFiles& files, StakesGrew stakesGrew);

  // Opens the dialog; a `pool` given is put in its pool box.
  void openWheels(std::vector<int32_t> pool = {});

 private:
  QWidget& m_owner;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  StakesGrew m_stakesGrew;
  WheelsDialog* m_dialog = nullptr;
};
