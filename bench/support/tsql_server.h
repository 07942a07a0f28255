#ifndef SALDOR_BENCH_SUPPORT_TSQL_SERVER_H_
#define SALDOR_BENCH_SUPPORT_TSQL_SERVER_H_

// A T-SQL server for the benchmarks when one is at hand, and the requests a connection sent it.
// The server is the one scripts/tsql_server.sh started: its state folder is named by
// SALDOR_TSQL_STATE, or else is the build folder's "tsql-server".

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/database.h"

namespace saldor::bench {

// The connection string of the server (no database, no password) from its connection.txt;
// nothing when no server is at hand.
std::optional<std::string> TsqlServerConnection();

// What a benchmark that needs the server says when there is none.
inline constexpr const char* kNoTsqlServer =
    "no T-SQL server at hand (scripts/tsql_server.sh start DIR, then SALDOR_TSQL_STATE=DIR)";

// A database of its own on the server, made afresh with db/sqlserver/business.sql and then
// `setupSql` (T-SQL, batches separated by GO lines); dropped at the end. Not copyable.
class TsqlDatabase {
 public:
  TsqlDatabase(const std::string& serverConnection, const std::string& setupSql);
  TsqlDatabase(const TsqlDatabase&) = delete;
  TsqlDatabase& operator=(const TsqlDatabase&) = delete;
  ~TsqlDatabase();

  // The database's connection string, password included, followed by `more` (e.g.
  // "DumpFile=/tmp/x;" for FreeTDS's packet log).
  std::string ConnectionString(const std::string& more = "") const;
  // A connection of the benchmark's own, for setting up and checking.
  Database& db() { return *db_; }

 private:
  std::string server_;
  std::string name_;
  std::unique_ptr<Database> db_;
};

// Runs each batch of `script` (batches separated by lines that hold only GO) on `db`.
void RunBatches(Database& db, const std::string& script);

// What one kind of request is: its name, and a piece of text its statement holds.
using RequestKind = std::pair<std::string, std::string>;

// The requests that FreeTDS's packet log `dumpFile` shows the client sending after the login,
// by kind: each request counts for the statement of the last ODBC call before it, under the
// first of `kinds` whose text that statement holds ("other" for none), or "connection" when the
// call was no statement's (transactions, autocommit).
std::map<std::string, int> CountRequests(const std::filesystem::path& dumpFile,
                                         const std::vector<RequestKind>& kinds);

}  // namespace saldor::bench

#endif  // SALDOR_BENCH_SUPPORT_TSQL_SERVER_H_
