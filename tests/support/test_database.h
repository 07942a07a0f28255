#ifndef SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
#define SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/database.h"
#include "support/temp_dir.h"

namespace saldor::testing {

// The database a test runs on: the embedded SQLite default, or SQL Server (the run's T-SQL
// server, see TestDatabase).
enum class Backend { kSqlite, kSqlServer };

// "Sqlite" or "SqlServer": the last part of a parametrized test's name.
std::string BackendName(Backend backend);

// Prints a Backend as its name, in test names and messages.
inline void PrintTo(Backend backend, std::ostream* out) { *out << BackendName(backend); }

// Names the instances of a test parametrized by Backend after their database.
struct BackendParamName {
  std::string operator()(const ::testing::TestParamInfo<Backend>& info) const {
    return BackendName(info.param);
  }
};

// Runs every test of the value-parametrized `suite` (parameter Backend) on both databases:
// "OnDatabase/<suite>.<test>/Sqlite" and "OnDatabase/<suite>.<test>/SqlServer".
#define SALDOR_ON_BOTH_DATABASES(suite)                                               \
  INSTANTIATE_TEST_SUITE_P(OnDatabase, suite,                                         \
                           ::testing::Values(::saldor::testing::Backend::kSqlite,     \
                                             ::saldor::testing::Backend::kSqlServer), \
                           ::saldor::testing::BackendParamName())

// A real business database with the business schema, reached through ODBC like the program
// reaches its database. No database library is linked: setting up and checking go through the
// drivers too, on connections of their own.
//
// SQLite: a file in a temp folder, made from db/sqlite/business.sql (and demo.sql).
// SQL Server: a fresh database with a name of its own on the test run's T-SQL server (started by
// the test fixture tsql_server, scripts/tsql_server.sh), made from db/sqlserver/business.sql
// (and demo.sql). When the run has no server, the constructor marks the test skipped (with a line
// naming SALDOR_BABELFISH) or, when SALDOR_BABELFISH is set, failed; the object then stands on a
// SQLite database, so hold it as a member of the test's fixture: gtest does not run the test body
// after its fixture's constructor skipped or failed.
class TestDatabase {
 public:
  explicit TestDatabase(Backend backend = Backend::kSqlite, bool withDemoData = false);
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;
  ~TestDatabase();

  Backend backend() const { return backend_; }
  // The SQLite database's file. Requires the SQLite backend.
  std::filesystem::path file() const { return dir_->path() / "business.db"; }

  // The connection string as config.txt holds it: without the password, which the program
  // appends ("PWD=QXV;"). SQLite: "Driver=SQLite3;Database=<file>;", the file as the driver sees
  // it (see HostPath).
  std::string connectionString() const { return connection_; }

  // The ODBC connection, opened with the password on first use.
  Database& db();
  // Another connection, as another session or another run would open it, with the password and
  // `statementTimeoutSeconds` for every statement.
  std::unique_ptr<Database> Open(int statementTimeoutSeconds = 30) const;

  // Runs SQL text on a connection of its own, for setting up data: several statements separated
  // by ";" on SQLite, batches separated by GO lines on SQL Server. A refused statement throws
  // std::runtime_error.
  void Exec(const std::string& sql);

  // The text of the same SQL for each database, picked for this one.
  const std::string& Either(const std::string& sqlite, const std::string& sqlServer) const {
    return backend_ == Backend::kSqlite ? sqlite : sqlServer;
  }

  // `insert`, an insert into `table` that gives its key column values of its own: SQL Server
  // takes those only between SET IDENTITY_INSERT ON and OFF. Like `insert`, the result does not
  // end in ";".
  std::string WithKeys(const std::string& table, const std::string& insert) const;

  // Reading back, on both databases alike: every value as its canonical text. A number in its
  // shortest form ("25", "12.5", whatever the column's type), a date as "2027-01-01" and a
  // moment as "2026-12-31 10:30:00" (fractions of a second only when not 0), any other text as
  // it is; NULL is nullopt in a Record and "<null>" in a Line.
  using Record = std::map<std::string, std::optional<std::string>>;
  std::vector<Record> Rows(const std::string& sql);
  // Each row of `sql` as its values in column order, joined by "|".
  std::vector<std::string> Lines(const std::string& sql);
  // The first column of the first row of `sql` ("" when there is none, "<null>" for NULL).
  std::string Scalar(const std::string& sql);

 private:
  ResultSet Query(const std::string& sql);

  Backend backend_;
  std::unique_ptr<TempDir> dir_;
  std::string connection_;
  std::unique_ptr<Database> db_;
};

// The path of a file of the source tree, e.g. SourcePath("db/sqlite/demo.sql").
std::filesystem::path SourcePath(const std::string& relative);

// The canonical text of a fetched value (see TestDatabase::Rows); nullopt for NULL.
std::optional<std::string> CanonicalText(const Field& field);

// What TestDatabase does, for tools of their own too (tests/support/rows_tool.cpp, the
// benchmarks). Connection strings are without the password, which these append. Failures throw
// std::runtime_error.

// The connection string (without database and password) of this build's T-SQL server: the one
// that scripts/tsql_server.sh started in the build folder's "tsql-server", as the test fixture
// tsql_server does; nothing when none runs there.
std::optional<std::string> RunsTsqlServer();
// Creates a database with a name of its own on the T-SQL server `server` (a connection string
// without a database) and gives the connection string of that database.
std::string CreateSqlServerDatabase(const std::string& server);
// Runs the SQL script `sql` on a connection of its own to `connectionString` (see
// TestDatabase::Exec for how a script is split on each database).
void RunScript(const std::string& connectionString, Backend backend, const std::string& sql);
// Each row of `sql` as TestDatabase::Lines gives it, read on a connection of its own.
std::vector<std::string> CanonicalLines(const std::string& connectionString,
                                        const std::string& sql);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
