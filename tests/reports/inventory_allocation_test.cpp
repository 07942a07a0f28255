#include "reports/inventory_allocation.h"

#include <gtest/gtest.h>

namespace saldor {
namespace {

TEST(InventoryAllocationTest, ShortfallRunsThroughEachGroupOnce) {
  const struct {
    InventoryRow row;
    double qtyAvail, inProduction;
  } rows[] = {
      // Two items under one part number: the second row's stock and shortfall do not count.
      {{"S", "1", "X", 5, 10, 0}, 5, 10},
      {{"S", "1", "X", 50, 10, -8}, 0, 10},
      // Letter case and the third piece each make a group of their own, with its own shortfall.
      {{"s", "1", "X", 0, 10, -4}, 0, 6},
      {{"s", "1", "x", 0, 10, -4}, 0, 6},
      // A shortfall beyond all production is dropped when the group ends ...
      {{"s", "1", "", 0, 10, -30}, 0, 0},
      {{"s", "1", "", 0, 10, -30}, 0, 0},
      // ... and one equal to a quantity leaves nothing of it.
      {{"T", "1", "", 0, 10, -10}, 0, 0},
      {{"T", "1", "", 0, 4, -10}, 0, 4},
      // Both quantities round to cents, an exact half to the even cent.
      {{"U", "1", "", 0.005, 0.004, 0}, 0, 0},
      {{"V", "1", "", 0.004, 0.015, 0}, 0, 0.02},
      {{"W", "1", "", 0, 10.004, -10}, 0, 0},
  };
  InventoryAllocation allocation;
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.row.partNumber1) + std::string(r.row.partNumber3));
    const ReportedQuantities got = allocation.Next(r.row);
    EXPECT_EQ(got.qtyAvail, r.qtyAvail);
    EXPECT_EQ(got.inProduction, r.inProduction);
    EXPECT_EQ(got.reported, r.qtyAvail != 0 || r.inProduction != 0);
  }
}

TEST(RoundToCentsTest, HalfToEvenAtTheShortestDecimalForm) {
  const double cases[][2] = {
      {0.005, 0},       {0.015, 0.02}, {0.025, 0.02},
      {2.675, 2.68},    {2.665, 2.66}, {0.0051, 0.01},
      {0.0049999, 0},   {99.995, 100}, {-0.015, -0.02},
      {-0.025, -0.02},  {1e-300, 0},   {1234.5678, 1234.57},
      {0.1 + 0.2, 0.3}, {12, 12},      {1e15 + 0.5, 1e15 + 0.5},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundToCents(c[0]), c[1]) << "value " << c[0];
}

}  // namespace
}  // namespace saldor
