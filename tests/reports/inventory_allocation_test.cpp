#include "reports/inventory_allocation.h"

#include <gtest/gtest.h>

#include <vector>

namespace saldor {
namespace {

struct Expected {
  double qtyAvail;
  double inProduction;
  bool reported;
};

void ExpectAllocation(const std::vector<InventoryRow>& rows,
                      const std::vector<Expected>& expected) {
  ASSERT_EQ(rows.size(), expected.size());
  InventoryAllocation allocation;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    const ReportedQuantities got = allocation.Next(rows[i]);
    EXPECT_EQ(got.reported, expected[i].reported);
    EXPECT_DOUBLE_EQ(got.qtyAvail, expected[i].qtyAvail);
    EXPECT_DOUBLE_EQ(got.inProduction, expected[i].inProduction);
  }
}

TEST(InventoryAllocationTest, WorkedExampleRowByRow) {
  // A: on hand 10, spoken for 25; B: 40 on hand, 10 spoken for; C: 30 free, no purchase order.
  ExpectAllocation(
      {
          {"A", "1", "", 0, 10, -15},  // shortfall 15 -> 5, nothing reported
          {"A", "1", "", 0, 20, -15},  // 20 - 5
          {"A", "1", "", 0, 5, -15},
          {"B", "1", "", 30, 12, 0},
          {"B", "1", "", 30, 8, 0},  // stock reported on the group's first row only
          {"C", "1", "", 30, 0, 0},
      },
      {{0, 0, false}, {0, 15, true}, {0, 5, true}, {30, 12, true}, {0, 8, true}, {30, 0, true}});
}

TEST(InventoryAllocationTest, ShortfallIsDroppedAtTheEndOfItsGroup) {
  ExpectAllocation(
      {
          {"A", "1", "", 0, 10, -100},
          {"A", "1", "", 0, 20, -100},
          {"A", "2", "", 0, 7, 0},  // the next group starts from its own shortfall
          {"A", "2", "", 0, 3, 0},
          {"D", "1", "", 0, 10, -10},  // a shortfall equal to the quantity leaves nothing
          {"D", "1", "", 0, 4, -10},
      },
      {{0, 0, false}, {0, 0, false}, {0, 7, true}, {0, 3, true}, {0, 0, false}, {0, 4, true}});
}

TEST(InventoryAllocationTest, GroupsFollowAllThreePartNumbersExactly) {
  ExpectAllocation(
      {
          // Two items under the same three part numbers: the second row's stock and shortfall
          // do not count.
          {"SH", "1", "X", 5, 10, 0},
          {"SH", "1", "X", 50, 10, -8},
          // Letter case makes a new group, with its own shortfall.
          {"sh", "1", "X", 0, 10, -4},
          {"sh", "1", "x", 0, 10, -4},
          // Only the third piece differs: a new group too.
          {"sh", "1", "", 0, 10, -12},
          {"sh", "1", "", 0, 10, -12},
      },
      {{5, 10, true}, {0, 10, true}, {0, 6, true}, {0, 6, true}, {0, 0, false}, {0, 8, true}});
}

TEST(InventoryAllocationTest, RowsWhoseQuantitiesRoundToZeroAreNotReported) {
  ExpectAllocation(
      {
          {"A", "1", "", 0.004, 0, 0},
          {"B", "1", "", 0.005, 0, 0},      // an exact half cent goes to the even 0.00
          {"C", "1", "", 0.004, 0.006, 0},  // one non-zero quantity is enough
          {"D", "1", "", 0, 0.015, 0},
          {"E", "1", "", 0, 10.004, -10},  // 0.004 left after the shortfall
      },
      {{0, 0, false}, {0, 0, false}, {0, 0.01, true}, {0, 0.02, true}, {0, 0, false}});
}

TEST(RoundToCentsTest, RoundsHalfToEvenAtTheShortestDecimalForm) {
  const struct {
    double value;
    double rounded;
  } cases[] = {
      {0.005, 0},           {0.015, 0.02}, {0.025, 0.02},    {0.035, 0.04},
      {2.675, 2.68},        {2.665, 2.66}, {0.0051, 0.01},   {0.0049999, 0},
      {1234.5678, 1234.57}, {12, 12},      {-0.015, -0.02},  {-0.025, -0.02},
      {1e-300, 0},          {99.995, 100}, {0.1 + 0.2, 0.3}, {1e15 + 0.5, 1e15 + 0.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundToCents(c.value), c.rounded) << "value " << c.value;
  }
}

}  // namespace
}  // namespace saldor
