#include <gtest/gtest.h>

#include "wheels/Wheel.h"

namespace tallyra::wheels {
namespace {

TEST(WheelInput, PoolsAreReadAndChecked) {
  std::vector<int32_t> pool;
  EXPECT_FALSE(ParsePool(" 9, 1,2 ,3,4,5,49 ", 49, pool));
  EXPECT_EQ(pool, (std::vector<int32_t>{1, 2, 3, 4, 5, 9, 49}));

  struct Case {
    const char* text;
    int highest;
    TextId id;
    const char* english;
  };
  const Case cases[] = {
      {"1,2,3,4,5,6", 49, TextId::TxtWheelPoolSize,
       "A pool needs 7 to 49 numbers; this one has 6."},
      {"1,2,3,4,5,6,7,8,9,10,11", 10, TextId::TxtWheelPoolSize,
       "A pool needs 7 to 10 numbers; this one has 11."},
      {"1,2,3,4,5,6,50", 49, TextId::TxtWheelPoolRange, "The pool number 50 lies outside 1..49."},
      {"0,2,3,4,5,6,7", 49, TextId::TxtWheelPoolRange, "The pool number 0 lies outside 1..49."},
      {"1,2,3,4,5,6,3", 49, TextId::TxtWheelPoolRepeat, "The pool holds 3 more than once."},
      {"1,2,3,4,5,6,x7", 49, TextId::TxtWheelPoolNotNumber, "\"x7\" is not a number for the pool."},
      {"1,2,,3,4,5,6,7", 49, TextId::TxtWheelPoolNotNumber, "\"\" is not a number for the pool."},
      {"1,2,3,4,5,6,-7", 49, TextId::TxtWheelPoolNotNumber, "\"-7\" is not a number for the pool."},
      {"1,2,3,4,5,6,99999999999999999999999", 49, TextId::TxtWheelPoolNotNumber,
       "\"99999999999999999999...\" is not a number for the pool."},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> untouched = {42};
    const auto problem = ParsePool(c.text, c.highest, untouched);
    ASSERT_TRUE(problem) << c.text;
    EXPECT_EQ(problem->id, c.id) << c.text;
    EXPECT_EQ(problem->text(1), c.english);
    EXPECT_NE(problem->text(0), problem->text(1));
    EXPECT_EQ(untouched, std::vector<int32_t>{42});
  }
  // A very long list is refused without holding it all.
  std::string longList = "1";
  for (int i = 0; i < 100000; ++i) longList += ",1";
  const auto problem = ParsePool(longList, 99, pool);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->id, TextId::TxtWheelPoolSize);
}

TEST(WheelInput, GuaranteesAreReadAndChecked) {
  Guarantee g;
  EXPECT_FALSE(ParseGuarantee("3if4", g));
  EXPECT_EQ(g, (Guarantee{3, 4}));
  EXPECT_FALSE(ParseGuarantee(" 6 IF 6 ", g));
  EXPECT_EQ(g, (Guarantee{6, 6}));
  EXPECT_EQ(GuaranteeText({4, 5}), "4if5");
  for (const char* bad : {"", "3", "if4", "3if", "3of4", "3if4if5", "x3if4", "3.0if4"}) {
    const auto problem = ParseGuarantee(bad, g);
    ASSERT_TRUE(problem) << bad;
    EXPECT_EQ(problem->id, TextId::TxtWheelGuaranteeForm) << bad;
  }
  for (const char* impossible : {"4if3", "3if7", "1if2", "0if0", "7if7", "2if1"}) {
    const auto problem = ParseGuarantee(impossible, g);
    ASSERT_TRUE(problem) << impossible;
    EXPECT_EQ(problem->id, TextId::TxtWheelGuaranteeRange) << impossible;
  }
  EXPECT_EQ(ParseGuarantee("4if3", g)->text(1),
            "The guarantee 4if3 is impossible: it needs 2 <= T <= M <= 6 and M no larger than the "
            "pool.");
  EXPECT_TRUE(CheckGuarantee({3, 6}, 5));
  EXPECT_FALSE(CheckGuarantee({3, 6}, 6));
}

TEST(WheelBounds, AgainstTheirFormulas) {
  // Schönheim, worked by hand: ceil(7/6 ceil(6/5 ceil(5/4 ceil(4/3 ceil(3/2 ceil(2/1)))))) = 7.
  EXPECT_EQ(SchonheimBound(7, 6, 6), 7u);
  // ceil(20/6 ceil(19/5 ceil(18/4))) = ceil(20/6 * 19) = 64.
  EXPECT_EQ(SchonheimBound(20, 6, 3), 64u);
  // ceil(10/6 ceil(9/5 ceil(8/4))) = ceil(10/6 * 4) = 7.
  EXPECT_EQ(SchonheimBound(10, 6, 3), 7u);
  // ceil(8/6 ceil(7/5 ceil(6/4 ceil(5/3 ceil(4/2))))) = 12.
  EXPECT_EQ(SchonheimBound(8, 6, 5), 12u);
  // With t = k every 6-subset is needed.
  EXPECT_EQ(SchonheimBound(49, 6, 6), Binomial(49, 6));
  EXPECT_EQ(Binomial(49, 6), 13983816u);
  EXPECT_EQ(Binomial(30, 6), 593775u);
  for (int t = 2; t <= 6; ++t) EXPECT_EQ(SchonheimBound(6, 6, t), 1u);
  EXPECT_EQ(LowerBound(20, {3, 3}), 64u);

  // Counting: C(10,6) = 210 subsets; a ticket covers C(6,3)C(4,3) + C(6,4)C(4,2) + C(6,5)C(4,1)
  // + 1 = 80 + 90 + 24 + 1 = 195 of them, so at least 2 tickets.
  EXPECT_EQ(CountingBound(10, {3, 6}), 2u);
  EXPECT_EQ(LowerBound(10, {3, 6}), 2u);
  // C(7,3) = 35, all covered by one ticket at "2 if 3".
  EXPECT_EQ(CountingBound(7, {2, 3}), 1u);
  // C(30,5) = 142506; per ticket C(6,4)C(24,1) + C(6,5) = 366: 390 (389.36 rounded up).
  EXPECT_EQ(CountingBound(30, {4, 5}), 390u);
  // For t = m counting is never above Schönheim.
  for (int v = 7; v <= 40; ++v)
    for (int t = 2; t <= 6; ++t)
      EXPECT_LE(CountingBound(v, {t, t}), SchonheimBound(v, 6, t)) << v << " " << t;
  // The size over the bound, in hundredths rounded half up, with the language's decimal mark.
  EXPECT_EQ(RatioText(72, 64, 1), "1.13");
  EXPECT_EQ(RatioText(77, 77, 0), "1,00");
  EXPECT_EQ(RatioText(201, 200, 1), "1.01");  // 1.005 rounds up
  EXPECT_EQ(RatioText(1, 0, 1), "1.00");
}

}  // namespace
}  // namespace tallyra::wheels
