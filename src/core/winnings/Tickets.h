#pragma once

#include <array>
#include <cstdint>

namespace tallyra {

// Tickets with 3, 4, 5 and 6 common numbers, at [0] .. [3].
using TierTickets = std::array<int64_t, 4>;

// Binomial coefficient C(n, k) for 0 <= n <= 12; zero when k < 0 or k > n.
int64_t Binomial(int n, int k);

// The tickets a selection of n distinct numbers stands for: every set of six of them, C(n, 6).
// A stake is the case n = 6, one ticket; fewer than six numbers make no ticket.
inline int64_t TicketsOf(int n) {
  return Binomial(n, 6);
}

// How the tickets of a selection of n distinct numbers fare in a draw that shares k of them:
// C(k, j) * C(n - k, 6 - j) tickets have j common numbers, for j = 3 .. 6.
TierTickets TicketsByTier(int n, int k);

}  // namespace tallyra
