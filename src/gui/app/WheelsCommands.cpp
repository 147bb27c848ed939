#include "app/WheelsCommands.h"

#include <span>
#include <utility>

#include "dialogs/WheelsDialog.h"
#include "lists/ListEditing.h"
#include "platform/QtTexts.h"
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

WheelsCommands::WheelsCommands(QWidget& owner, tallyra::Workspace& ws, LanguageSource language,
                               const tallyra::DataFiles& files, StakesGrew stakesGrew)
    : m_owner(owner),
      m_ws(ws),
      m_language(std::move(language)),
      m_files(files),
      m_stakesGrew(std::move(stakesGrew)) {}

void WheelsCommands::openWheels(std::vector<int32_t> pool) {
  WheelsDialog::Inputs inputs;
  inputs.pool = std::move(pool);
  inputs.highestNumber = m_ws.HighestNumber;
  inputs.systemStakes = SystemStakesOf(m_ws);
  inputs.stakes = StakesOf(m_ws);
  inputs.maxTickets = tallyra::kStakeCapacity;
  // The ticket's price comes from the prize table in the data folder; without a table that
  // reads whole, no cost is shown.
  tallyra::Prizes prizes;
  if (!tallyra::LoadPrizes(m_files.path(tallyra::kPrizeTableFileName), prizes)) {
    inputs.ticketPrice = prizes.table.price;
    inputs.currency = prizes.table.currency;
  }

  if (!m_dialog) m_dialog = new WheelsDialog(&m_owner, m_language);

  // A wheel guarantees only as a whole, so it joins the stakes whole or not at all.
  auto send =
      [this](const std::vector<tallyra::wheels::Ticket>& tickets) -> std::optional<QString> {
    const auto room = static_cast<std::size_t>(tallyra::kStakeCapacity - m_ws.StakeCount);
    if (room == 0) return platform::Tr(TextId::TxtStakesFull, m_language());
    if (tickets.size() > room) {
      return QString::fromStdString(
          tallyra::Format(TextId::TxtWheelsNoRoom, m_language(),
                          {std::to_string(room), std::to_string(tickets.size())}));
    }
    const auto table = tallyra::TableRef::of(m_ws.StakeTable);
    for (const tallyra::wheels::Ticket& ticket : tickets) {
      tallyra::AppendRow(table, m_ws.StakeCount, std::span(ticket));
    }
    m_stakesGrew();
    return std::nullopt;
  };
  m_dialog->showWheels(std::move(inputs), send);
}
