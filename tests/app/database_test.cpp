#include "app/database.h"

#include <gtest/gtest.h>

#include <array>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using testing::Backend;
using testing::TempDir;
using testing::TestDatabase;

Sql Same(const std::string& text) { return Sql{text, text}; }

class DatabaseTest : public ::testing::TestWithParam<Backend> {
 protected:
  // A table of the test's own for texts of any length: Item.Name is a short varchar on SQL
  // Server.
  void CreateTexts() {
    tdb.Exec(tdb.Either(
        "CREATE TABLE Texts (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Weight REAL)",
        "CREATE TABLE Texts (ID int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(max), Weight float)"));
  }

  TestDatabase tdb{GetParam()};
};
SALDOR_ON_BOTH_DATABASES(DatabaseTest);

TEST_P(DatabaseTest, ReportsItsDialect) {
  EXPECT_EQ(tdb.db().dialect(),
            tdb.backend() == Backend::kSqlite ? Dialect::kSqlite : Dialect::kSqlServer);
  EXPECT_EQ(tdb.db().dbmsName(), tdb.Either("SQLite", "Microsoft SQL Server"));
}

TEST_P(DatabaseTest, TextParametersRoundTripUnchanged) {
  // No ClientCharset in the connection string and no locale: on SQL Server only text sent and
  // read as UTF-16 comes back as it was.
  CreateTexts();
  const std::string texts[] = {"O'Brien", "say \"hi\"",    "a;b;DROP TABLE Item;--", "Größe €5 ✓",
                               "",        "line\r\nbreak", std::string(9000, 'x')};
  std::array<std::string_view, 1> columns{"Name"};
  Statement insert = tdb.db().Prepare(InsertReturningKeySql("Texts", columns));
  Statement select = tdb.db().Prepare(Same("SELECT Name FROM Texts WHERE ID=?"));
  for (const std::string& text : texts) {
    std::int64_t id = insert.InsertReturningKey(std::vector<Param>{text});
    ResultSet rs = select.Query(std::vector<Param>{id});
    ASSERT_EQ(rs.size(), 1u);
    EXPECT_EQ(rs.Get(0, "name").AsText("Name"), text);
  }
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Texts"), "7");
  EXPECT_EQ(tdb.Scalar("SELECT Name FROM Texts WHERE ID=1"), "O'Brien");
}

TEST_P(DatabaseTest, ReExecutedParametersMayChangeKindAndLength) {
  CreateTexts();
  std::array<std::string_view, 2> columns{"Name", "Weight"};
  Statement insert = tdb.db().Prepare(InsertSql("Texts", columns));
  const std::vector<std::vector<Param>> rows = {
      {std::string(""), 1.5},  // empty text first: still text, not null
      {nullptr, nullptr},      // then nulls
      {std::string("short"), std::int64_t{2}},
      {std::string(300, 'y'), 2.25},  // longer than any text before
      {std::string("s"), nullptr},
      {std::string(5000, 'z'), 1.0},  // a long text, then a short one again
      {std::string("t"), 3.5},
  };
  for (const auto& row : rows) insert.Execute(row);
  EXPECT_EQ(
      tdb.Lines("SELECT Name, Weight FROM Texts ORDER BY ID"),
      (std::vector<std::string>{"|1.5", "<null>|<null>", "short|2", std::string(300, 'y') + "|2.25",
                                "s|<null>", std::string(5000, 'z') + "|1", "t|3.5"}));
}

TEST_P(DatabaseTest, InsertedKeysAreTheNewRowsOwn) {
  tdb.Exec(tdb.WithKeys("Orders", "INSERT INTO Orders (ID, OrderNumber) VALUES (500, 'old')"));
  if (tdb.backend() == Backend::kSqlServer) {
    // Besides the audit trigger with its identity of its own, a trigger that returns rows of its
    // own ahead of the batch's final SELECT (SQL Server allows it, though deprecated).
    tdb.Exec(
        "CREATE TRIGGER OrdersEcho ON Orders AFTER INSERT AS "
        "SELECT CAST(ID + 1000 AS bigint) AS ID FROM inserted");
  }
  std::array<std::string_view, 2> columns{"OrderNumber", "Customer"};
  Statement insert = tdb.db().Prepare(InsertReturningKeySql("Orders", columns));
  std::int64_t first = insert.InsertReturningKey(std::vector<Param>{std::string("A"), nullptr});
  // Another insert on the same connection between two inserts does not leak into the key.
  tdb.db().Execute(Same("INSERT INTO Item (Name) VALUES ('x')"));
  std::int64_t second = insert.InsertReturningKey(std::vector<Param>{std::string("B"), nullptr});
  EXPECT_EQ(first, 501);
  EXPECT_EQ(second, 502);
  EXPECT_EQ(tdb.Scalar("SELECT OrderNumber FROM Orders WHERE ID=502"), "B");
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Orders WHERE ID=501 AND Customer IS NULL"), "1");
  if (tdb.backend() == Backend::kSqlServer) {
    // The audit trigger on Orders wrote a row of its own, with a key of its own, for each.
    EXPECT_EQ(tdb.Lines("SELECT ID, OrderID, OrderNumber FROM OrdersAudit ORDER BY ID"),
              (std::vector<std::string>{"500000|500|old", "500001|501|A", "500002|502|B"}));
  }
}

TEST_P(DatabaseTest, TypedParametersAndFields) {
  std::array<std::string_view, 6> columns{"OrderNumber", "OrderDate",  "DateAdded",
                                          "SubTotal",    "DirectSale", "Freight"};
  tdb.db().Execute(
      InsertSql("Orders", columns),
      std::vector<Param>{std::string("7"), Date{2027, 1, 1}, DateTime{Date{2026, 12, 31}, 23, 5, 9},
                         12.5, false, std::int64_t{0}});
  EXPECT_EQ(tdb.Scalar("SELECT OrderDate FROM Orders"), "2027-01-01");
  EXPECT_EQ(tdb.Scalar("SELECT DateAdded FROM Orders"), "2026-12-31 23:05:09");
  ResultSet rs = tdb.db().Query(Same("SELECT ID, SubTotal, DirectSale, Freight, Memo FROM Orders"));
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.Get(0, "ID").AsText("ID"), "1");
  EXPECT_EQ(rs.Get(0, "SubTotal").AsText("SubTotal"), "12.5");
  EXPECT_EQ(rs.Get(0, "Freight").AsText("Freight"), "0");
  EXPECT_EQ(rs.Get(0, "DirectSale").AsNumber("DirectSale"), 0);
  EXPECT_TRUE(rs.Get(0, "Memo").IsNull());
  EXPECT_EQ(rs.Get(0, "Memo").TextOr("none"), "none");

  // Small and large numbers as text never take an exponent, which a decimal or money column of
  // SQL Server refuses: the text of an item's weight or cost goes into an order line as it is.
  tdb.db().Execute(Same("INSERT INTO Item (Weight, LandedCost, YardsPerRoll) VALUES (?,?,?)"),
                   std::vector<Param>{0.0000005, 0.0001, 100000.0});
  ResultSet item = tdb.db().Query(Same("SELECT Weight, LandedCost, YardsPerRoll FROM Item"));
  ASSERT_EQ(item.size(), 1u);
  EXPECT_EQ(item.Get(0, "Weight").AsText("Weight"), "0.0000005");
  EXPECT_EQ(item.Get(0, "LandedCost").AsText("LandedCost"), "0.0001");
  EXPECT_EQ(item.Get(0, "YardsPerRoll").AsText("YardsPerRoll"), "100000");
}

TEST(SqliteDatabaseTest, NumbersKeepTheTypeOfTheirValueNotOfTheirColumn) {
  TestDatabase tdb;
  // SQLite keeps 12.5 in an INTEGER column, and an expression column takes the type of its first
  // row in the driver's eyes: neither may cut a later value down to a whole number.
  tdb.Exec("INSERT INTO Item (ID, Inactive, Weight) VALUES (1, 0, 2), (2, 12.5, 0.025);");
  ResultSet rs = tdb.db().Query(
      Same("SELECT Inactive, CASE WHEN ID=1 THEN 0 ELSE Weight END AS Mixed, Weight FROM Item "
           "ORDER BY ID"));
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.Get(0, "Inactive").AsText("Inactive"), "0");
  EXPECT_EQ(rs.Get(1, "Inactive").AsText("Inactive"), "12.5");
  EXPECT_EQ(rs.Get(0, "Mixed").AsText("Mixed"), "0");
  EXPECT_EQ(rs.Get(1, "Mixed").AsNumber("Mixed"), 0.025);
  EXPECT_EQ(rs.Get(0, "Weight").AsText("Weight"), "2");
  EXPECT_TRUE(std::holds_alternative<std::int64_t>(rs.Get(0, "Inactive").value()));
}

TEST_P(DatabaseTest, NullAndMissingFieldsAreErrorsNamingTheField) {
  tdb.Exec(tdb.WithKeys("Item", "INSERT INTO Item (ID, Name, Weight) VALUES (1, 'n/a', NULL)"));
  ResultSet rs = tdb.db().Query(Same("SELECT Name, Weight FROM Item"));
  try {
    rs.Get(0, "Weight").AsText("Item.Weight");
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), 94);
    EXPECT_NE(e.Report().find("Item.Weight"), std::string::npos);
  }
  try {
    rs.Get(0, "Name").AsNumber("Item.Name");
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), 13);
    EXPECT_NE(e.Report().find("n/a"), std::string::npos);
  }
  EXPECT_THROW(rs.Get(0, "Colour"), RunError);
}

TEST_P(DatabaseTest, RefusedStatementCarriesTheDriversDiagnostics) {
  try {
    tdb.db().Query(Same("SELECT Foo FROM NoSuchTable"));
    FAIL();
  } catch (const RunError& e) {
    // SQL Server says 208, "Invalid object name"; Babelfish has a number and words of its own
    // (33557097, "relation ... does not exist"). Either way the server's own number is kept.
    if (tdb.backend() == Backend::kSqlite) {
      EXPECT_NE(e.description().find("no such table"), std::string::npos) << e.Report();
    } else {
      EXPECT_NE(e.number(), errors::kUnspecifiedDatabaseError) << e.Report();
      EXPECT_NE(e.Report().find("native error " + std::to_string(e.number())), std::string::npos)
          << e.Report();
    }
    EXPECT_NE(e.Report().find("SQLSTATE"), std::string::npos);
    EXPECT_NE(e.Report().find("NoSuchTable"), std::string::npos);
  }
}

TEST_P(DatabaseTest, RollbackUndoesEveryWriteAndCommitKeepsThem) {
  Database& db = tdb.db();
  {
    Transaction tx(db);
    db.Execute(Same("INSERT INTO Item (Name) VALUES ('a')"));
    db.Execute(Same("INSERT INTO Item (Name) VALUES ('b')"));
    // Leaving without Commit, as a failure would.
  }
  EXPECT_FALSE(db.inTransaction());
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Item"), "0");
  {
    Transaction tx(db);
    db.Execute(Same("INSERT INTO Item (Name) VALUES ('c')"));
    tx.Commit();
  }
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Item"), "1");
  // Back in auto-commit: a lone statement takes effect at once.
  db.Execute(Same("DELETE FROM Item"));
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Item"), "0");
}

TEST_P(DatabaseTest, AFailedBatchedWriteIsTriedRecordByRecordAndLeavesNothing) {
  Database& db = tdb.db();
  // The batched write fails with `batch`, the one record at a time with `single` (0: not).
  int tries = 0;
  auto failure = [&](int batch, int single) {
    tries = 0;
    try {
      WriteInOneTransaction(db, [&](bool batched) {
        ++tries;
        db.Execute(Same("INSERT INTO Item (Name) VALUES ('x')"));
        if (batched) throw RunError(batch, "the batch");
        if (single != 0) throw RunError(single, "record 2");
      });
    } catch (const RunError& e) {
      return e.description();
    }
    return std::string("none");
  };
  EXPECT_EQ(failure(70, 70), "record 2");  // the same error, naming its record
  EXPECT_EQ(failure(70, 13), "the batch");
  EXPECT_EQ(failure(70, 0), "the batch");  // the trial went through, and was not kept
  EXPECT_EQ(failure(errors::kDatabaseTimeout, 0), "the batch");
  EXPECT_EQ(tries, 1);  // a time limit that ran out is not tried again
  EXPECT_FALSE(db.inTransaction());
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Item"), "0");
  WriteInOneTransaction(db, [&](bool batched) {
    EXPECT_TRUE(batched);
    db.Execute(Same("INSERT INTO Item (Name) VALUES ('y')"));
  });
  EXPECT_EQ(tdb.Scalar("SELECT Name FROM Item"), "y");
}

TEST_P(DatabaseTest, ReExecutedWritesTakeTheirNewValues) {
  tdb.Exec("INSERT INTO Item (Name, Weight) VALUES ('a', 1),('b', 2),('c', 3);");
  Statement update = tdb.db().Prepare(Same("UPDATE Item SET Weight=? WHERE Name=?"));
  update.Execute(std::vector<Param>{10.5, std::string("a")});
  update.Execute(std::vector<Param>{20.0, std::string("b")});
  Statement remove = tdb.db().Prepare(Same("DELETE FROM Item WHERE Name=?"));
  remove.Execute(std::vector<Param>{std::string("c")});
  remove.Execute(std::vector<Param>{std::string("nothing")});
  EXPECT_EQ(tdb.Lines("SELECT Name, Weight FROM Item ORDER BY ID"),
            (std::vector<std::string>{"a|10.5", "b|20"}));
}

TEST(DatabaseOpenTest, MissingFolderReportsTheDriversMessage) {
  TempDir dir;
  try {
    Database::Open("Driver=SQLite3;Database=" + (dir / "no/such/folder/x.db").string() + ";", 10);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_NE(e.Report().find("SQLSTATE"), std::string::npos) << e.Report();
    EXPECT_NE(e.Report().find("opening the database"), std::string::npos);
  }
}

TEST(SqlBuildersTest, InsertTextsInBothDialects) {
  std::array<std::string_view, 2> columns{"A", "B"};
  Sql plain = InsertSql("T", columns);
  EXPECT_EQ(plain.sqlServer, "INSERT INTO T (A,B) VALUES (?,?)");
  EXPECT_EQ(plain.sqlite, plain.sqlServer);
  Sql keyed = InsertReturningKeySql("T", columns);
  EXPECT_EQ(keyed.sqlServer,
            "SET NOCOUNT ON; INSERT INTO T (A,B) VALUES (?,?); "
            "SELECT CAST(SCOPE_IDENTITY() AS BIGINT) AS ID");
  EXPECT_EQ(keyed.sqlite, "INSERT INTO T (A,B) VALUES (?,?)");
}

}  // namespace
}  // namespace saldor
