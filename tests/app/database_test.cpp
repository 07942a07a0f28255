#include "app/database.h"

#include <gtest/gtest.h>

#include "app/run_error.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using testing::TestDatabase;

TEST(DatabaseTest, ReportsSqliteDialect) {
  TestDatabase tdb;
  EXPECT_EQ(tdb.db().dialect(), Dialect::kSqlite);
}

TEST(DatabaseTest, TextParametersRoundTripUnchanged) {
  TestDatabase tdb;
  const std::string texts[] = {"O'Brien",    "say \"hi\"", "a;b;DROP TABLE Item;--",
                               "Größe €5 ✓", "",           std::string(5000, 'x')};
  std::array<std::string_view, 1> columns{"Name"};
  Statement insert = tdb.db().Prepare(InsertReturningKeySql("Item", columns));
  for (const std::string& text : texts) {
    std::int64_t id = insert.InsertReturningKey(std::vector<Param>{text});
    ResultSet rs =
        tdb.db().Query(Sql{"SELECT Name FROM Item WHERE ID=?", "SELECT Name FROM Item WHERE ID=?"},
                       std::vector<Param>{id});
    ASSERT_EQ(rs.size(), 1u);
    EXPECT_EQ(rs.Get(0, "name").AsText("Name"), text);
  }
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Item"), "6");
}

}  // namespace
}  // namespace saldor
