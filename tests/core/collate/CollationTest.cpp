#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>

#include "PlainCollation.h"
#include "collate/Collation.h"
#include "collate/Kernel.h"

namespace tallyra {
namespace {

RowSet Rows(int width, std::initializer_list<std::vector<int32_t>> rows) {
  RowSet set;
  set.width = width;
  for (const auto& row : rows) {
    ++set.count;
    for (int c = 0; c < width; ++c) {
      set.cells.push_back(c < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(c)] : 0);
    }
  }
  return set;
}

RowSet Random(std::mt19937& rng, int width, int count, int highest, int filled, bool hostile) {
  RowSet set;
  set.width = width;
  set.count = count;
  for (int r = 0; r < count; ++r) {
    for (int c = 0; c < width; ++c) {
      int32_t v = static_cast<int32_t>(rng() % static_cast<unsigned>(highest)) + 1;
      if (c >= filled) v = 0;
      if (hostile) {
        switch (rng() % 8) {
          case 0:
            v = 0;
            break;
          case 1:
            v = 128 + static_cast<int32_t>(rng() % 3);
            break;
          case 2:
            v = -static_cast<int32_t>(rng() % 2);
            break;
          case 3:
            if (c > 0) v = set.cells.back();
            break;  // a repeat within the row
          case 4:
            v = static_cast<int32_t>(rng());
            break;  // a value seen once
          default:
            break;
        }
      }
      set.cells.push_back(v);
    }
  }
  return set;
}

void ExpectSame(const Outcome& fast, const Outcome& plain, const std::string& what) {
  EXPECT_EQ(fast.counts, plain.counts) << what;
  EXPECT_EQ(fast.stakesTouched, plain.stakesTouched) << what;
  EXPECT_EQ(fast.systemTouched, plain.systemTouched) << what;
  EXPECT_EQ(fast.stakeRows, plain.stakeRows) << what;
  EXPECT_EQ(fast.systemRows, plain.systemRows) << what;
  for (std::size_t c = 0; c < 4; ++c) {
    ASSERT_EQ(fast.lists[c]->length(), plain.lists[c]->length()) << what << " category " << c + 3;
    EXPECT_EQ(fast.lists[c]->text(), plain.lists[c]->text()) << what << " category " << c + 3;
  }
}

constexpr CollationKind kKinds[] = {CollationKind::StakesWithStakes, CollationKind::StakesWithDraws,
                                    CollationKind::SystemWithSystem, CollationKind::SystemWithDraws,
                                    CollationKind::All};

TEST(Collation, FastPathEqualsThePlainRuleOnRandomLists) {
  std::mt19937 rng(7);
  for (int round = 0; round < 6; ++round) {
    CollationInput in;
    in.language = round % 2;
    const int highest = round < 3 ? 12 : 49;  // small games give many coincidences
    in.stakes = Random(rng, 6, 150 + round * 40, highest, 6, false);
    in.system = Random(rng, 12, 120 + round * 30, highest, 7 + round % 6, false);
    in.draws = Random(rng, 6, 90, highest, 6, false);
    for (CollationKind kind : kKinds) {
      ExpectSame(
          Collate(kind, in, nullptr, 2), CollatePlainly(kind, in),
          "round " + std::to_string(round) + " kind " + std::to_string(static_cast<int>(kind)));
    }
  }
}

TEST(Collation, FastPathEqualsThePlainRuleOnHostileLists) {
  std::mt19937 rng(99);
  for (int round = 0; round < 6; ++round) {
    CollationInput in;
    in.stakes = Random(rng, 6, 130, 6, 6, true);
    in.system = Random(rng, 12, 110, 8, 12, true);
    in.draws = Random(rng, 6, 70, 7, 6, true);
    for (CollationKind kind : kKinds) {
      ExpectSame(
          Collate(kind, in, nullptr, 1 + round % 2), CollatePlainly(kind, in),
          "round " + std::to_string(round) + " kind " + std::to_string(static_cast<int>(kind)));
    }
  }
}

TEST(Collation, ManyDistinctValuesFallBackToRowListsAndStayExact) {
  // More distinct values than get bitmaps: the rarest are looked up through row lists.
  std::mt19937 rng(5);
  CollationInput in;
  in.system.width = 12;
  for (int r = 0; r < 400; ++r) {
    for (int c = 0; c < 12; ++c) {
      in.system.cells.push_back(c < 4 ? static_cast<int32_t>(rng() % 6) + 1
                                      : static_cast<int32_t>(r * 12 + c + 1000));
    }
    ++in.system.count;
  }
  in.draws = in.system;  // draws take the first six of each row
  in.draws.width = 6;
  in.draws.cells.clear();
  for (int r = 1; r <= in.system.count; ++r) {
    for (int c = 1; c <= 6; ++c) in.draws.cells.push_back(in.system.at(r, c + 6 * (r % 2)));
  }
  for (CollationKind kind : {CollationKind::SystemWithSystem, CollationKind::SystemWithDraws}) {
    ExpectSame(Collate(kind, in, nullptr, 2), CollatePlainly(kind, in), "wide");
  }
}

// Lists long enough for many vectors of words on every build: pairs over several vectors with
// chunks whose rows begin in different words, and draws past row 10000, where row numbers get
// their fifth digit, so that the lists' lengths cross every bound of the digits.
TEST(Collation, LongListsEqualThePlainRule) {
  std::mt19937 rng(11);
  CollationInput in;
  in.stakes = Random(rng, 6, 1100, 14, 6, false);
  in.system = Random(rng, 12, 1050, 16, 9, false);
  in.draws = Random(rng, 6, 40, 14, 6, false);
  for (CollationKind kind : {CollationKind::StakesWithStakes, CollationKind::SystemWithSystem}) {
    ExpectSame(Collate(kind, in, nullptr, 2), CollatePlainly(kind, in),
               "pairs, kind " + std::to_string(static_cast<int>(kind)));
  }
  in.stakes = Random(rng, 6, 30, 14, 6, false);
  in.system = Random(rng, 12, 25, 16, 10, false);
  in.draws = Random(rng, 6, 10100, 14, 6, false);
  for (CollationKind kind :
       {CollationKind::StakesWithDraws, CollationKind::SystemWithDraws, CollationKind::All}) {
    ExpectSame(Collate(kind, in, nullptr, 2), CollatePlainly(kind, in),
               "draws, kind " + std::to_string(static_cast<int>(kind)));
  }
}

// TALLYRA_KERNEL_PATH, as the tests of each build set it, is what runs where the processor
// has it, and never more than it asks.
TEST(Collation, TheBuildAskedForRuns) {
  const char* asked = std::getenv("TALLYRA_KERNEL_PATH");
  const kernel::KernelPath active = kernel::ActivePath();
  if (!asked) return;  // the best build the processor has, whichever it is
  const std::string want = asked;
  const kernel::KernelPath paths[] = {kernel::KernelPath::Default, kernel::KernelPath::Avx2,
                                      kernel::KernelPath::Avx512F, kernel::KernelPath::Avx512};
  for (kernel::KernelPath path : paths) {
    if (want != kernel::PathName(path)) continue;
    EXPECT_LE(active, path);
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
    const bool has = path == kernel::KernelPath::Default ||
                     (path == kernel::KernelPath::Avx2 && __builtin_cpu_supports("x86-64-v3")) ||
                     (path == kernel::KernelPath::Avx512F && __builtin_cpu_supports("x86-64-v4")) ||
                     (path == kernel::KernelPath::Avx512 && __builtin_cpu_supports("x86-64-v4") &&
                      __builtin_cpu_supports("avx512vpopcntdq"));
    if (has) {
      EXPECT_EQ(active, path) << want;
    }
#endif
  }
}

TEST(Collation, SmallValuesWithRowListsStayExact) {
  // Draws with more distinct values than get bitmaps, the rarest of them small: stakes of small
  // values find some of theirs in row lists.
  CollationInput in;
  in.draws.width = 6;
  for (int32_t r = 0; r < 1100; ++r) {
    const int32_t next = (r + 1) % 1100;
    for (int32_t v : {1000 + 2 * r, 1001 + 2 * r, 1000 + 2 * next, 1001 + 2 * next, 1, 2}) {
      in.draws.cells.push_back(v);
    }
    ++in.draws.count;
  }
  in.draws.cells[6 * 500 + 5] = 7;  // seen once: a row list
  in.draws.cells[6 * 700 + 4] = 8;
  in.stakes = Rows(6, {{1, 2, 7, 3, 4, 5}, {7, 8, 1, 2, 9, 10}, {1, 2, 8, 11, 12, 13}});
  for (CollationKind kind : {CollationKind::StakesWithDraws, CollationKind::All}) {
    ExpectSame(Collate(kind, in, nullptr, 2), CollatePlainly(kind, in), "small rare values");
  }
}

TEST(Collation, StakesWithEachOther) {
  CollationInput in;
  in.stakes = Rows(6, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 40, 41}, {1, 2, 3, 30, 31, 32}});
  const Outcome out = Collate(CollationKind::StakesWithStakes, in);
  EXPECT_EQ(out.counts, (std::array<int64_t, 4>{2, 1, 0, 0}));
  EXPECT_EQ(out.lists[1]->text(), "1=2 , ");
  EXPECT_EQ(out.lists[0]->text(), "1=3 , 2=3 , ");
  EXPECT_EQ(out.stakeRows[0], (CategoryCounts{1, 1, 0, 0}));
  EXPECT_EQ(out.stakeRows[1], (CategoryCounts{1, 1, 0, 0}));
  EXPECT_EQ(out.stakeRows[2], (CategoryCounts{2, 0, 0, 0}));
  EXPECT_FALSE(out.systemTouched);

  // Rows 2 and 5 the same, nothing else shared.
  in.stakes = Rows(6, {{1, 2, 3, 4, 5, 6},
                       {7, 8, 9, 10, 11, 12},
                       {13, 14, 15, 16, 17, 18},
                       {19, 20, 21, 22, 23, 24},
                       {7, 8, 9, 10, 11, 12}});
  const Outcome same = Collate(CollationKind::StakesWithStakes, in);
  EXPECT_EQ(same.counts, (std::array<int64_t, 4>{0, 0, 0, 1}));
  EXPECT_EQ(same.lists[3]->text(), "2=5 , ");
  EXPECT_EQ(same.stakeRows[4], (CategoryCounts{0, 0, 0, 1}));
}

TEST(Collation, SystemStakesCountOnceAsOneSet) {
  CollationInput in;
  in.system = Rows(12, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6, 7, 8, 20, 21}});
  in.draws = Rows(6, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 30, 31, 32}});
  const Outcome withDraws = Collate(CollationKind::SystemWithDraws, in);
  EXPECT_EQ(withDraws.counts, (std::array<int64_t, 4>{2, 0, 0, 2}));
  EXPECT_EQ(withDraws.lists[3]->text(), "1=1 , 2=1 , ");
  const Outcome pairs = Collate(CollationKind::SystemWithSystem, in);
  EXPECT_EQ(pairs.counts, (std::array<int64_t, 4>{0, 0, 0, 1})) << "eight in common is six or more";
  EXPECT_EQ(pairs.systemRows[1], (CategoryCounts{0, 0, 0, 1}));
  // A repeated number can reach seven against a draw: counted nowhere here, as six in Collate all.
  in.system = Rows(12, {{1, 1, 2, 3, 4, 5, 6}});
  in.draws = Rows(6, {{1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(Collate(CollationKind::SystemWithDraws, in).counts, (std::array<int64_t, 4>{}));
  EXPECT_EQ(Collate(CollationKind::All, in).counts, (std::array<int64_t, 4>{0, 0, 0, 1}));
}

TEST(Collation, CollateAllHeadsItsSections) {
  CollationInput in;
  in.language = 1;
  in.stakes = Rows(6, {{1, 2, 3, 10, 11, 12}});
  in.system = Rows(12, {{1, 2, 3, 20, 21, 22, 23}});
  in.draws = Rows(
      6,
      {{40, 41, 42, 43, 44, 45}, {1, 2, 3, 4, 5, 6}, {7, 8, 9, 13, 14, 15}, {1, 2, 3, 30, 31, 32}});
  Outcome out = Collate(CollationKind::All, in);
  EXPECT_EQ(out.lists[0]->text(), "Stakes: 1=2 , 1=4 , System stakes: 1=2 , 1=4 , ");
  EXPECT_EQ(out.counts[0], 4);
  in.language = 0;
  in.system = Rows(12, {{40, 41, 42, 43, 44, 45, 46}});
  out = Collate(CollationKind::All, in);
  EXPECT_EQ(out.lists[0]->text(), "Ставки: 1=2 , 1=4 , Системные ставки: ");
  EXPECT_EQ(out.lists[3]->text(), "Системные ставки: 1=1 , ");
  in.system = RowSet{12, 0, {}};
  out = Collate(CollationKind::All, in);
  EXPECT_EQ(out.lists[0]->text(), "Ставки: 1=2 , 1=4 , ");
}

TEST(Collation, EmptyDrawsGiveNothing) {
  CollationInput in;
  in.stakes = Rows(6, {{1, 2, 3, 4, 5, 6}});
  in.draws.width = 6;
  const Outcome out = Collate(CollationKind::StakesWithDraws, in);
  EXPECT_EQ(out.counts, (std::array<int64_t, 4>{}));
  EXPECT_TRUE(out.lists[0]->empty());
  EXPECT_EQ(out.stakeRows.size(), 1u);
  // A collation cancelled before any row was counted leaves empty lists, not unwritten offsets.
  std::mt19937 rng(5);
  in.stakes = Random(rng, 6, 5000, 49, 6, false);
  in.draws = Random(rng, 6, 300, 49, 6, false);
  const std::atomic<bool> cancelled{true};
  const Outcome stopped = Collate(CollationKind::StakesWithDraws, in, &cancelled, 2);
  for (const auto& list : stopped.lists) EXPECT_EQ(list->length(), 0);
}

TEST(Check, AgainstStakesAndSystemStakes) {
  CollationInput in;
  in.language = 1;
  in.stakes = Rows(6, {{1, 2, 3, 10, 11, 12}, {1, 2, 3, 4, 5, 40}});
  in.system = Rows(12, {{40, 41, 42, 43, 44, 45, 46},
                        {40, 41, 42, 43, 44, 45, 46},
                        {40, 41, 42, 43, 44, 45, 46},
                        {1, 2, 3, 20, 21, 22, 23}});
  std::array<int32_t, 13> comb{0, 1, 2, 3, 4, 5, 6};
  Outcome out = CheckCombination(comb, true, false, in);
  EXPECT_EQ(out.lists[0]->text(), "Stakes: 1 , ");
  EXPECT_EQ(out.lists[2]->text(), "Stakes: 2 , ");
  EXPECT_EQ(out.counts, (std::array<int64_t, 4>{1, 0, 1, 0}));
  EXPECT_FALSE(out.systemTouched);
  out = CheckCombination(comb, true, true, in);
  EXPECT_EQ(out.lists[0]->text(), "Stakes: 1 , ; System stakes: 4 , ");
  EXPECT_EQ(out.lists[2]->text(), "Stakes: 2 , ; System stakes: ");
  EXPECT_EQ(out.systemRows[3], (CategoryCounts{1, 0, 0, 0}));

  // A system combination: its extra numbers count against stakes, not against draws.
  comb = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  in.system = Rows(12, {{1, 2, 3, 4, 5, 6, 7, 8}});
  in.stakes = Rows(6, {});
  out = CheckCombination(comb, true, true, in);
  EXPECT_EQ(out.lists[3]->text(), "System stakes: 1 , ");
  in.draws = Rows(6, {{7, 8, 9, 10, 11, 12}, {1, 2, 3, 7, 8, 9}, {1, 2, 3, 40, 41, 42}});
  out = CheckCombination(comb, false, true, in);
  EXPECT_EQ(out.lists[0]->text(), "2 , 3 , ");
  EXPECT_EQ(out.counts[0], 2);
  EXPECT_TRUE(out.stakesTouched) << "the stakes' columns are emptied by a check of the draws";
}

// Slices of a dense list, and of a sparse one whose rows and whole blocks of rows are mostly
// without entries, are the plain rule's text.
TEST(ListSlices, MatchTheWholeText) {
  std::mt19937 rng(3);
  CollationInput dense, sparse;
  dense.stakes = Random(rng, 6, 300, 10, 6, false);
  sparse.stakes = Random(rng, 6, 3000, 24, 6, false);
  sparse.draws = Random(rng, 6, 40, 24, 6, false);
  for (const auto& [kind, in, category] : {std::tuple{CollationKind::StakesWithStakes, dense, 0},
                                           std::tuple{CollationKind::StakesWithDraws, sparse, 2}}) {
    const auto c = static_cast<std::size_t>(category);
    const Outcome fast = Collate(kind, in, nullptr, 2);
    const std::string whole = CollatePlainly(kind, in).lists[c]->text();
    ASSERT_GT(whole.size(), 1000u);
    for (int k = 0; k < 200; ++k) {
      const int64_t at = static_cast<int64_t>(rng() % whole.size());
      const int64_t len = static_cast<int64_t>(rng() % 300);
      ASSERT_EQ(fast.lists[c]->slice(at, len),
                whole.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(len)));
    }
    EXPECT_EQ(fast.lists[c]->slice(static_cast<int64_t>(whole.size()) - 5, 100),
              whole.substr(whole.size() - 5));
    std::string chunks;
    fast.lists[c]->forEachChunk(777, [&](const std::string& piece) {
      chunks += piece;
      return true;
    });
    EXPECT_EQ(chunks, whole);
  }
}

// Pieces made on several threads come to the sink in order, and a sink can stop the stream.
TEST(ListSlices, StreamInOrderOnAnyNumberOfThreads) {
  std::mt19937 rng(5);
  CollationInput in;
  in.stakes = Random(rng, 6, 150, 12, 6, false);
  const Outcome fast = Collate(CollationKind::StakesWithStakes, in, nullptr, 2);
  const std::string whole = CollatePlainly(CollationKind::StakesWithStakes, in).lists[0]->text();
  for (int threads : {1, 2, 5}) {
    for (int64_t chunk : {int64_t{7}, int64_t{333}, int64_t{4096}, int64_t{1} << 22}) {
      std::string joined;
      int calls = 0;
      EXPECT_TRUE(fast.lists[0]->forEachChunk(
          chunk,
          [&](const std::string& piece) {
            if (++calls < (static_cast<int64_t>(whole.size()) + chunk - 1) / chunk) {
              EXPECT_EQ(static_cast<int64_t>(piece.size()), chunk);
            }
            joined += piece;
            return true;
          },
          threads));
      ASSERT_EQ(joined, whole) << threads << " threads, pieces of " << chunk;
    }
    int calls = 0;
    EXPECT_FALSE(fast.lists[0]->forEachChunk(
        100, [&](const std::string&) { return ++calls < 3; }, threads));
    EXPECT_EQ(calls, 3);
  }
}

// A reader moving back and forth within and across rows, more rows than are kept made, always
// reads the list's text; row numbers above the lists' capacity are written out too.
TEST(ListSlices, PartsOfRowsReadInAnyOrder) {
  std::mt19937 rng(8);
  CollationInput in;
  in.stakes = Random(rng, 6, 200, 10, 6, false);
  const Outcome fast = Collate(CollationKind::StakesWithStakes, in, nullptr, 1);
  const std::string whole = CollatePlainly(CollationKind::StakesWithStakes, in).lists[0]->text();
  for (int k = 0; k < 2000; ++k) {
    const int64_t at = static_cast<int64_t>(rng() % whole.size());
    const int64_t len = static_cast<int64_t>(rng() % 40);
    ASSERT_EQ(fast.lists[0]->slice(at, len),
              whole.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(len)));
  }

  in.stakes = Rows(6, {{1, 2, 3, 4, 5, 6}});
  in.draws = Random(rng, 6, 100010, 8, 6, false);
  const Outcome many = Collate(CollationKind::StakesWithDraws, in, nullptr, 2);
  const std::string plain = CollatePlainly(CollationKind::StakesWithDraws, in).lists[0]->text();
  EXPECT_EQ(many.lists[0]->text(), plain);
  EXPECT_NE(plain.find("=100003 , "), std::string::npos);
}

}  // namespace
}  // namespace tallyra

namespace tallyra {
namespace {

// The check's counts against the rule written out plainly, on lists with strange values.
TEST(Check, CountsFollowThePlainRuleForAnyValues) {
  std::mt19937 rng(11);
  CollationInput in;
  in.stakes = Random(rng, 6, 300, 9, 6, true);
  in.system = Random(rng, 12, 300, 9, 12, true);
  in.draws = Random(rng, 6, 300, 9, 6, true);
  for (int round = 0; round < 20; ++round) {
    std::array<int32_t, 13> cells{};
    for (int k = 1; k <= 12; ++k) {
      cells[static_cast<std::size_t>(k)] =
          k > 6 && rng() % 3 == 0
              ? 0
              : static_cast<int32_t>(rng() % 12) - 1 + (rng() % 5 == 0 ? 200 : 0);
    }
    cells[1] = 1 + static_cast<int32_t>(rng() % 9);
    auto plain = [&](const RowSet& rows, bool extra) {
      std::array<int64_t, 4> counts{};
      for (int i = 1; i <= rows.count; ++i) {
        int k = 0;
        for (int p = 1; p <= rows.width; ++p) {
          const int32_t v = rows.at(i, p);
          bool found = false;
          for (int c = 1; c <= 12; ++c) {
            const int32_t cell = cells[static_cast<std::size_t>(c)];
            found |= c <= 6 ? cell == v : extra && cell != 0 && cell == v;
          }
          k += found;
        }
        if (k >= 3) ++counts[static_cast<std::size_t>(std::min(k, 6) - 3)];
      }
      return counts;
    };
    std::array<int64_t, 4> expected = plain(in.stakes, true);
    const std::array<int64_t, 4> system = plain(in.system, true);
    for (std::size_t c = 0; c < 4; ++c) expected[c] += system[c];
    EXPECT_EQ(CheckCombination(cells, true, true, in).counts, expected) << round;
    EXPECT_EQ(CheckCombination(cells, false, false, in).counts, plain(in.draws, false)) << round;
  }
}

}  // namespace
}  // namespace tallyra
