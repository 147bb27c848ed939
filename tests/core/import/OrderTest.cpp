#include "import/Order.h"

#include <gtest/gtest.h>

#include <vector>

namespace tallyra {
namespace {

TEST(Order, TheKeysOfNeighbouringRowsDecideTheOrder) {
  const OrderKey none;
  struct Case {
    const char* name;
    std::vector<OrderKey> keys;
    std::optional<HistoryOrder> order;
    std::optional<std::size_t> againstOldestFirst;
  };
  const std::vector<Case> cases = {
      {"rising", {1, 2, 3, 5}, HistoryOrder::OldestFirst, std::nullopt},
      {"falling", {9, 7, 4}, HistoryOrder::NewestFirst, 1},
      {"one step back", {1, 2, 3, 2, 4, 5}, HistoryOrder::OldestFirst, 3},
      {"a tie is oldest first", {1, 2, 1}, HistoryOrder::OldestFirst, 2},
      {"rows without keys part neighbours", {5, none, 1, none, 7}, std::nullopt, std::nullopt},
      {"equal keys", {3, 3, 3}, std::nullopt, std::nullopt},
      {"no rows", {}, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OrderOfKeys(c.keys), c.order);
    EXPECT_EQ(FirstAgainstOrder(c.keys, HistoryOrder::OldestFirst), c.againstOldestFirst);
  }
  EXPECT_EQ(FirstAgainstOrder({9, 7, 8, 6}, HistoryOrder::NewestFirst), 2u);
}

TEST(Order, ADrawWrittenTwiceIsFoundByItsNumbersDateAndDrawNumber) {
  RepeatedRows repeats;
  EXPECT_EQ(repeats.earlierLine({{1, 2, 3, 4, 5, 6}, "18212", "101"}, 2), std::nullopt);
  EXPECT_EQ(repeats.earlierLine({{1, 2, 3, 4, 5, 6}, "18219", "102"}, 3), std::nullopt);
  EXPECT_EQ(repeats.earlierLine({{1, 2, 3, 4, 5, 7}, "18212", "101"}, 4), std::nullopt);
  EXPECT_EQ(repeats.earlierLine({{1, 2, 3, 4, 5, 6}, "18212", "101"}, 5), 2);
  EXPECT_EQ(repeats.earlierLine({{1, 2, 3, 4, 5, 6}, "18212", "101"}, 6), 2);
  // The same numbers in another order are another row.
  EXPECT_EQ(repeats.earlierLine({{6, 5, 4, 3, 2, 1}, "18212", "101"}, 7), std::nullopt);
  // The parts do not run into each other.
  RepeatedRows parts;
  EXPECT_EQ(parts.earlierLine({{1}, "12", ""}, 1), std::nullopt);
  EXPECT_EQ(parts.earlierLine({{1}, "1", "2"}, 2), std::nullopt);
}

}  // namespace
}  // namespace tallyra
