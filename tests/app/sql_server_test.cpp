// The database layer against SQL Server's wire, through the FreeTDS driver, for what no real
// server shows: a scripted endpoint and a silent listener on loopback stand in for a server that
// answers out of the ordinary or not at all. Everything a real server shows runs against the
// test run's T-SQL server (the SqlServer instances of DatabaseTest and the others).
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/database.h"
#include "app/error_numbers.h"
#include "app/record_insert.h"
#include "app/run_error.h"
#include "app/time_limit.h"
#include "support/silent_listener.h"
#include "support/tds_endpoint.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using namespace std::chrono_literals;
using testing::SilentListener;
using testing::TdsEndpoint;
using testing::Utf16Le;

Sql Same(const std::string& text) { return Sql{text, text}; }

// How a call ended: the error it raised (number 0 and an empty report when it raised none).
struct Outcome {
  int number = 0;
  std::string report;
};

// Runs `call` and waits for it at most `limit`; a call still running then fails the test and is
// left running on its own thread, so that a missing time limit fails the test instead of hanging
// it (FreeTDS may never return even when the server goes away). `call` must therefore own what
// it uses.
Outcome EndsWithin(std::chrono::seconds limit, std::function<void()> call) {
  auto outcome = std::make_shared<Outcome>();
  const bool ended = FinishesWithin(limit, [outcome, call = std::move(call)] {
    try {
      call();
    } catch (const RunError& error) {
      *outcome = {error.number(), error.Report()};
    }
  });
  if (!ended) {
    ADD_FAILURE() << "still waiting after " << limit.count() << " s";
    return {-1, "still waiting"};
  }
  return *outcome;
}

TEST(SqlServerWireTest, NoKeyIsTakenFromATriggersRows) {
  // Only a trigger's rows and no final result of the batch's own, which no real server gives.
  TdsEndpoint server(R"([
      {"match": "INTO Lines", "results": [{"columns": ["TriggerID"], "rows": [[7]]}]}])");
  auto db = Database::Open(server.FreeTdsConnectionString("TDS_Version=7.4;"), 10);
  ASSERT_EQ(db->dialect(), Dialect::kSqlServer);
  std::array<std::string_view, 1> columns{"OrderNumber"};
  Statement lines = db->Prepare(InsertReturningKeySql("Lines", columns));
  try {
    lines.InsertReturningKey(std::vector<Param>{std::string("C")});
    FAIL() << "a key was taken from a trigger's rows";
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), errors::kInvalidUseOfNull) << e.Report();
    EXPECT_NE(e.Report().find("INTO Lines"), std::string::npos) << e.Report();
  }
}

TEST(SqlServerWireTest, AServersNumberThatTheProgramNamesIsNotTheErrorNumber) {
  TdsEndpoint server(R"([
      {"match": "FROM Remote", "error": "The network path was not found.", "number": 53}])");
  std::shared_ptr<Database> db =
      Database::Open(server.FreeTdsConnectionString("TDS_Version=7.4;"), 10);
  // 53 is File not found here: the server's number stays in the report only.
  const Outcome remote = EndsWithin(10s, [db] { db->Query(Same("SELECT 1 FROM Remote")); });
  EXPECT_EQ(remote.number, errors::kUnspecifiedDatabaseError) << remote.report;
  EXPECT_NE(remote.report.find("native error 53"), std::string::npos) << remote.report;
}

TEST(SqlServerWireTest, OpenOnASilentServerEndsWithinTheLoginTimeout) {
  // FreeTDS keeps to its login timeout with TDS version 7.4, but not when it picks the version
  // itself: then it waits for ever.
  for (const std::string version : {"7.4", "auto"}) {
    SCOPED_TRACE(version);
    SilentListener listener;
    const std::string connection =
        "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(listener.port()) +
        ";Database=Biz;UID=sa;PWD=QXV;TDS_Version=" + version + ";";
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = EndsWithin(8s, [connection] { Database::Open(connection, 2); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(outcome.number, errors::kDatabaseTimeout) << outcome.report;
    EXPECT_NE(outcome.report.find("opening the database"), std::string::npos) << outcome.report;
    // Where the driver keeps its limit, the error is the driver's own.
    if (version == "7.4") {
      EXPECT_NE(outcome.report.find("HYT00"), std::string::npos) << outcome.report;
    }
  }
}

TEST(SqlServerWireTest, AStatementTheServerNeverAnswersEndsWithTheStatementTimeout) {
  // Neither the statement nor the driver's cancel gets an answer.
  TdsEndpoint server(R"([{"match": "WAITFOR", "silent": true, "deaf": true}])");
  std::shared_ptr<Database> db =
      Database::Open(server.FreeTdsConnectionString("TDS_Version=7.4;"), 10, 1);
  const Outcome outcome = EndsWithin(10s, [db] { db->Execute(Same("WAITFOR DELAY '01:00'")); });
  EXPECT_EQ(outcome.number, errors::kDatabaseTimeout) << outcome.report;
  EXPECT_NE(outcome.report.find("running the statement"), std::string::npos) << outcome.report;
  EXPECT_NE(outcome.report.find("WAITFOR DELAY"), std::string::npos) << outcome.report;
}

TEST(SqlServerWireTest, ManyRecordsGoAsJsonOnlyWhereTheServerReadsIt) {
  // A server older than SQL Server 2016, or a database below compatibility level 130, knows no
  // OPENJSON: the records go as the markers of one multi-row insert instead.
  TdsEndpoint old(R"([{"match": "OPENJSON", "error": "Invalid object name 'OPENJSON'.",
                       "number": 208}])");
  TdsEndpoint current(R"js([{"match": "OPENJSON(N'[1]')", "results": [
                            {"columns": ["N"], "rows": [[0]]}]}])js");
  const std::array<std::string_view, 2> columns{"A", "B"};
  const std::vector<Param> records = {std::string("x"), std::int64_t{1}, std::string("y"),
                                      std::int64_t{2}};
  for (TdsEndpoint* server : {&old, &current}) {
    auto db = Database::Open(server->FreeTdsConnectionString("TDS_Version=7.4;"), 10);
    RecordInsert insert(*db, "Lines", columns);
    insert.Insert(records, 2);
    const bool json = server == &current;
    EXPECT_EQ(db->readsJson(), json);
    EXPECT_EQ(insert.maxRecords(), json ? RecordInsert::kJsonRecords : 1000u);
    EXPECT_EQ(server->Received(Utf16Le("INSERT INTO Lines (A,B) VALUES (@P1,@P2),(@P3,@P4)")),
              !json);
    EXPECT_EQ(server->Received(Utf16Le("[[0,\"x\",1],[1,\"y\",2]]")), json);
  }
}

// ---- against the test run's T-SQL server -------------------------------------------------

TEST(SqlServerSessionTest, AStatementBlockedByAnotherSessionsLockEndsAtItsTimeLimit) {
  testing::TestDatabase tdb(testing::Backend::kSqlServer);
  if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure()) return;
  tdb.Exec("INSERT INTO Item (Name) VALUES ('a')");
  std::shared_ptr<Database> other = tdb.Open();
  other->Begin();
  other->Execute(Same("UPDATE Item SET Name = 'b' WHERE ID = 1"));

  std::shared_ptr<Database> db = tdb.Open(/*statementTimeoutSeconds=*/1);
  const auto start = std::chrono::steady_clock::now();
  // In a transaction, as the program writes.
  const Outcome blocked = EndsWithin(20s, [db] {
    Transaction transaction(*db);
    db->Execute(Same("UPDATE Item SET Name = 'c' WHERE ID = 1"));
    transaction.Commit();
  });
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(blocked.number, errors::kDatabaseTimeout) << blocked.report;
  EXPECT_NE(blocked.report.find("SET Name = 'c'"), std::string::npos) << blocked.report;

  // Neither update took effect. SQL Server ends the statement on the driver's cancel. Babelfish
  // does not: the statement waits on and runs once the lock is gone, while the driver has given
  // up the connection; only the transaction around it keeps it from taking effect.
  other->Rollback();
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(tdb.Scalar("SELECT Name FROM Item"), "a");
}

}  // namespace
}  // namespace saldor
