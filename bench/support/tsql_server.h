#ifndef SALDOR_BENCH_SUPPORT_TSQL_SERVER_H_
#define SALDOR_BENCH_SUPPORT_TSQL_SERVER_H_

// The benchmarks' databases on the build's T-SQL server (the one the tests use, see
// testing::RunsTsqlServer), and the requests a connection sent it.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/database.h"

namespace saldor::bench {

// What a benchmark that needs the server says when there is none.
inline constexpr const char* kNoTsqlServer =
    "no T-SQL server at hand (scripts/tsql_server.sh start <build>/tsql-server)";

// A database of its own on the server, made afresh with db/sqlserver/business.sql and then
// `setupSql` (T-SQL, batches separated by GO lines); left on the server, which is thrown away
// with its state folder. Not copyable.
class TsqlDatabase {
 public:
  TsqlDatabase(const std::string& serverConnection, const std::string& setupSql);
  TsqlDatabase(const TsqlDatabase&) = delete;
  TsqlDatabase& operator=(const TsqlDatabase&) = delete;

  // The database's connection string, password included, followed by `more` (e.g.
  // "DumpFile=/tmp/x;" for FreeTDS's packet log).
  std::string ConnectionString(const std::string& more = "") const;
  // A connection of the benchmark's own, for setting up and checking.
  Database& db() { return *db_; }

 private:
  std::string connection_;  // the database's, without the password
  std::unique_ptr<Database> db_;
};

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
