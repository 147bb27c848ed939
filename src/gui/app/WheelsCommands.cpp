// Check > Wheels...: what the wheels dialog is given from the program's lists, and how the
// wheel it sends joins the stakes.
#include <span>

#include "app/MainWindow.h"
#include "dialogs/WheelsDialog.h"
#include "lists/ListEditing.h"
#include "winnings/Prizes.h"

using tallyra::TextId;

namespace {

// The stakes list's rows as tickets, each its six numbers.
std::vector<tallyra::wheels::Ticket> StakesOf(const tallyra::Workspace& ws) {
  std::vector<tallyra::wheels::Ticket> stakes;
  stakes.reserve(static_cast<std::size_t>(ws.StakeCount));
  for (int row = 1; row <= ws.StakeCount; ++row) {
    tallyra::wheels::Ticket ticket;
    for (int column = 1; column <= 6; ++column) ticket.push_back(ws.StakeTable.at(column, row));
    stakes.push_back(std::move(ticket));
  }
  return stakes;
}

// The system stakes' numbers, empty slots (0, and 100 as the line-up treats it) left out.
std::vector<std::vector<int32_t>> SystemStakesOf(const tallyra::Workspace& ws) {
  std::vector<std::vector<int32_t>> stakes;
  stakes.reserve(static_cast<std::size_t>(ws.SystemCount));
  for (int row = 1; row <= ws.SystemCount; ++row) {
    std::vector<int32_t> numbers;
    for (int slot = 1; slot <= 12; ++slot) {
      const int32_t n = ws.SystemTable.at(slot, row);
      if (n > 0 && n < 100) numbers.push_back(n);
    }
    stakes.push_back(std::move(numbers));
  }
  return stakes;
}

}  // namespace

void MainWindow::openWheels() {
  tallyra::Workspace& ws = workspace();
  WheelsDialog::Inputs inputs;
  inputs.highestNumber = ws.HighestNumber;
  inputs.systemStakes = SystemStakesOf(ws);
  inputs.stakes = StakesOf(ws);
  inputs.maxTickets = tallyra::kStakeCapacity;
  // The ticket's price comes from the prize table in the working folder; without a table that
  // reads whole, no cost is shown.
  tallyra::Prizes prizes;
  if (!tallyra::LoadPrizes(tallyra::kPrizeTableFileName, prizes)) {
    inputs.ticketPrice = prizes.table.price;
    inputs.currency = prizes.table.currency;
  }

  // The dialog is made on first use and kept, so the last pool and wheel are there next time.
  auto* dialog = findChild<WheelsDialog*>(QStringLiteral("Wheels"), Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new WheelsDialog(this, [this] { return workspace().Language; });

  // A wheel guarantees only as a whole, so it joins the stakes whole or not at all.
  auto send =
      [this](const std::vector<tallyra::wheels::Ticket>& tickets) -> std::optional<QString> {
    tallyra::Workspace& ws = workspace();
    const auto room = static_cast<std::size_t>(tallyra::kStakeCapacity - ws.StakeCount);
    if (room == 0) return T(TextId::TxtStakesFull);
    if (tickets.size() > room) {
      return QString::fromStdString(
          tallyra::Format(TextId::TxtWheelsNoRoom, ws.Language,
                          {std::to_string(room), std::to_string(tickets.size())}));
    }
    const auto table = tallyra::TableRef::of(ws.StakeTable);
    for (const tallyra::wheels::Ticket& ticket : tickets) {
      tallyra::AppendRow(table, ws.StakeCount, std::span(ticket));
    }
    refreshGrids();
    showTab(stakesTab);
    return std::nullopt;
  };
  dialog->showWheels(std::move(inputs), send);
}
