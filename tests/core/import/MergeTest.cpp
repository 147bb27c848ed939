#include "import/Merge.h"

#include <gtest/gtest.h>

#include <vector>

namespace tallyra {
namespace {

// Draw k of a long history: distinct for every k, so runs match only where they should.
DrawNumbers D(int k) {
  return {k % 40 + 1, k / 40 % 40 + 41, 3, 4, 5, 6};
}
std::vector<DrawNumbers> Span(int from, int to) {
  std::vector<DrawNumbers> run;
  for (int k = from; k <= to; ++k) run.push_back(D(k));
  return run;
}

TEST(Merge, NewDrawsAfterTheHeldOnesAreAppended) {
  // The download holds the last few held draws and the new ones.
  const MergeOutcome m = MergeDraws(Span(1, 100), Span(91, 112));
  EXPECT_EQ(m.kind, MergeOutcome::Kind::Extended);
  EXPECT_EQ(m.added, 12);
  EXPECT_EQ(m.draws, Span(1, 112));
  EXPECT_EQ(DescribeMerge(m, 1), "12 new draws were added; 112 held.");
  EXPECT_EQ(DescribeMerge(m, 0), "Добавлено новых тиражей: 12; всего тиражей: 112.");
  // The whole held history followed by new draws.
  EXPECT_EQ(MergeDraws(Span(1, 100), Span(1, 105)).draws, Span(1, 105));
  EXPECT_EQ(MergeDraws(Span(1, 100), Span(1, 105)).added, 5);
}

TEST(Merge, OlderDrawsBeforeTheHeldOnesArePutFirst) {
  const MergeOutcome m = MergeDraws(Span(50, 100), Span(1, 60));
  EXPECT_EQ(m.kind, MergeOutcome::Kind::Extended);
  EXPECT_EQ(m.added, 49);
  EXPECT_EQ(m.draws, Span(1, 100));
  // A history that holds the held one whole, with draws on both sides.
  const MergeOutcome both = MergeDraws(Span(50, 100), Span(1, 120));
  EXPECT_EQ(both.added, 69);
  EXPECT_EQ(both.draws, Span(1, 120));
}

TEST(Merge, NothingNewLeavesTheHistory) {
  for (const auto& incoming : {Span(1, 100), Span(20, 30), Span(100, 100), Span(1, 0)}) {
    const MergeOutcome m = MergeDraws(Span(1, 100), incoming);
    EXPECT_EQ(m.kind, MergeOutcome::Kind::NothingNew);
    EXPECT_EQ(m.added, 0);
    EXPECT_EQ(m.draws, Span(1, 100));
  }
  EXPECT_EQ(DescribeMerge(MergeDraws(Span(1, 100), Span(1, 100)), 1),
            "0 new draws were added; 100 held.");
}

TEST(Merge, HistoriesWithoutOverlapAreLeftToTheCaller) {
  const MergeOutcome m = MergeDraws(Span(1, 100), Span(200, 300));
  EXPECT_EQ(m.kind, MergeOutcome::Kind::NoOverlap);
  EXPECT_TRUE(m.draws.empty());
  EXPECT_EQ(DescribeMerge(m, 1), "");
  // Nothing held: the new history is taken as it is.
  const MergeOutcome fresh = MergeDraws({}, Span(1, 10));
  EXPECT_EQ(fresh.kind, MergeOutcome::Kind::Fresh);
  EXPECT_EQ(fresh.draws, Span(1, 10));
  EXPECT_EQ(fresh.added, 10);
}

TEST(Merge, AFullHistoryKeepsTheNewestDraws) {
  const MergeOutcome m = MergeDraws(Span(1, 1499), Span(1490, 1510));
  EXPECT_EQ(m.added, 11);
  EXPECT_EQ(m.dropped, 11);
  EXPECT_EQ(m.draws, Span(12, 1510));
  EXPECT_EQ(DescribeMerge(m, 1),
            "11 new draws were added; 1 499 held. The 11 earliest draws did not fit and were left "
            "out.");
  // Older draws brought to a full history do not fit at all.
  const MergeOutcome older = MergeDraws(Span(100, 1598), Span(1, 150));
  EXPECT_EQ(older.added, 0);
  EXPECT_EQ(older.draws, Span(100, 1598));
}

TEST(Merge, RepeatedDrawsFindTheLongestOverlap) {
  // A history whose draws repeat: the longest run the two share is the overlap.
  const std::vector<DrawNumbers> held = {D(1), D(2), D(1), D(2)};
  const std::vector<DrawNumbers> incoming = {D(1), D(2), D(1), D(2), D(3)};
  const MergeOutcome m = MergeDraws(held, incoming);
  EXPECT_EQ(m.added, 1);
  EXPECT_EQ(m.draws, incoming);
  // Long identical runs cost one pass.
  const std::vector<DrawNumbers> same(200000, D(5));
  EXPECT_EQ(MergeDraws(std::vector<DrawNumbers>(1499, D(5)), same).kind,
            MergeOutcome::Kind::Extended);
}

TEST(Merge, TellsWhereTheNewAndTheHeldDrawsStandInTheMergedHistory) {
  // Each new draw k stands at incomingAt + k - from of the merged draws, and each held draw k
  // at heldAt + k - heldFrom, whatever the case.
  struct Case {
    int heldFrom, heldTo, from, to, capacity;
  };
  for (const Case c :
       {Case{1, 0, 5, 9, 100}, Case{1, 100, 91, 112, 1000}, Case{1, 100, 1, 105, 1000},
        Case{50, 100, 1, 60, 1000}, Case{50, 100, 1, 120, 1000}, Case{1, 100, 20, 30, 1000},
        Case{1, 100, 91, 112, 50}, Case{50, 100, 1, 60, 80}}) {
    const MergeOutcome m = MergeDraws(Span(c.heldFrom, c.heldTo), Span(c.from, c.to), c.capacity);
    ASSERT_NE(m.kind, MergeOutcome::Kind::NoOverlap);
    for (int k = c.from; k <= c.to; ++k) {
      const int at = m.incomingAt + k - c.from;
      if (at < 0) continue;  // left out for the capacity
      ASSERT_LT(at, static_cast<int>(m.draws.size()));
      EXPECT_EQ(m.draws[static_cast<std::size_t>(at)], D(k)) << c.heldFrom << " " << c.from;
    }
    for (int k = c.heldFrom; k <= c.heldTo; ++k) {
      const int at = m.heldAt + k - c.heldFrom;
      if (at < 0) continue;
      ASSERT_LT(at, static_cast<int>(m.draws.size()));
      EXPECT_EQ(m.draws[static_cast<std::size_t>(at)], D(k))
          << "held " << c.heldFrom << " " << c.from;
    }
  }
  // With the capacity, the oldest new draws had no room: they stand before the start.
  EXPECT_EQ(MergeDraws(Span(50, 100), Span(1, 60), 80).incomingAt, -20);
}

}  // namespace
}  // namespace tallyra

namespace tallyra {
namespace {

TEST(Merge, DrawPrizesFollowTheirDrawsAndGoWithThem) {
  const TierAmounts held2 = {100, 200, 300, 400};
  ImportedRow paid;
  paid.prizes = {Money{900}, Money{1000}, Money{5000}, Money{90000}};
  ImportedRow unpaid;
  unpaid.prizes = {Money{900}, std::nullopt, Money{5000}, Money{90000}};

  // Two older draws come before the held ones: what draw 2 paid is now draw 4's.
  std::map<int32_t, TierAmounts> byDraw = {{2, held2}};
  MergeOutcome m = MergeDraws(Span(3, 6), Span(1, 4));
  EXPECT_EQ(CarryDrawPrizes(byDraw, m, {paid, unpaid, unpaid, unpaid}, false), 1);
  EXPECT_EQ(byDraw, (std::map<int32_t, TierAmounts>{{1, {900, 1000, 5000, 90000}}, {4, held2}}));

  // The capacity leaves out the two oldest draws: their amounts go, the rest move down.
  byDraw = {{1, held2}, {3, held2}};
  m = MergeDraws(Span(1, 5), Span(4, 7), 5);
  CarryDrawPrizes(byDraw, m, {unpaid, unpaid, unpaid, paid}, false);
  EXPECT_EQ(byDraw, (std::map<int32_t, TierAmounts>{{1, held2}, {5, {900, 1000, 5000, 90000}}}));

  // A history that replaced the held one leaves none of the old amounts.
  byDraw = {{1, held2}};
  m = MergeDraws({}, Span(10, 11));
  EXPECT_EQ(CarryDrawPrizes(byDraw, m, {unpaid, unpaid}, true), 0);
  EXPECT_TRUE(byDraw.empty());
}

}  // namespace
}  // namespace tallyra
