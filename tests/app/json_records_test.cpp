// Records as one JSON document for SQL Server: each column's type, the document, and the texts
// that go beside it.
#include "app/json_records.h"

#include <gtest/gtest.h>

#include "app/error_numbers.h"
#include "app/run_error.h"

namespace saldor {
namespace {

TEST(JsonRecordsTest, ValuesTheirTypesAndTheTextsThatGoBesideTheDocument) {
  const std::vector<Param> values = {
      // text, whole, number, date and time, flag, null, plain text, date
      std::string("a\r\nb"),
      std::int64_t{7},
      std::int64_t{-3},
      Date{2027, 1, 1},
      true,
      nullptr,
      std::string("Caf\u00e9 \u2713"),
      Date{2027, 1, 2},  //
      std::string("x"),
      std::int64_t{-8},
      0.1 * 3,
      DateTime{{2026, 12, 31}, 23, 5, 9},
      false,
      nullptr,
      std::string(""),
      nullptr,  //
      std::string("\"q\" \\"),
      std::int64_t{0},
      1e21,
      nullptr,
      nullptr,
      nullptr,
      std::string("7"),
      Date{2027, 12, 31}};
  const JsonLayout layout = JsonLayoutOf(values, 8);
  EXPECT_EQ(layout.types,
            (std::vector<std::string>{"nvarchar(max)", "bigint", "float", "datetime2(0)", "bit",
                                      "nvarchar(max)", "nvarchar(max)", "date"}));
  EXPECT_EQ(layout.markers,
            (std::vector<bool>{true, false, false, false, false, false, false, false}));
  EXPECT_EQ(JsonRecords(values, 8, layout),
            "[[0,null,7,-3,\"2027-01-01\",true,null,\"Caf\u00e9 \u2713\",\"2027-01-02\"],"
            "[1,null,-8,0.30000000000000004,\"2026-12-31T23:05:09\",false,null,\"\",null],"
            "[2,null,0,1e+21,null,null,null,\"7\",\"2027-12-31\"]]");
  EXPECT_EQ(JsonMarkerValues(values, 8, layout),
            (std::vector<Param>{std::string("a\r\nb"), std::string("x"), std::string("\"q\" \\")}));

  const std::vector<Param> infinite = {1e308 * 10};
  try {
    JsonRecords(infinite, 1, JsonLayoutOf(infinite, 1));
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), errors::kOverflow);
  }
}

}  // namespace
}  // namespace saldor
