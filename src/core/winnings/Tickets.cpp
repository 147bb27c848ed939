#include "winnings/Tickets.h"

namespace tallyra {

int64_t Binomial(int n, int k) {
  if (n < 0 || k < 0 || k > n) return 0;
  int64_t value = 1;
  for (int i = 1; i <= k; ++i) value = value * (n - k + i) / i;
  return value;
}

TierTickets TicketsByTier(int n, int k) {
  TierTickets tickets{};
  if (n < 6 || k < 0 || k > n) return tickets;
  for (int j = 3; j <= 6; ++j) {
    tickets[static_cast<std::size_t>(j - 3)] = Binomial(k, j) * Binomial(n - k, 6 - j);
  }
  return tickets;
}

}  // namespace tallyra
