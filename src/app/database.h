#ifndef SALDOR_APP_DATABASE_H_
#define SALDOR_APP_DATABASE_H_

// The business database, reached through one ODBC connection. database.cpp is the only part of
// the program that talks ODBC; every other part sees the small types declared here and the values
// (values.h) and statement texts (sql_text.h) they take and give. The connection picks the text
// of a statement by the DBMS name that the driver reports.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/sql_text.h"
#include "app/values.h"

namespace saldor {

class Connection;  // the ODBC handles, private to database.cpp

// A statement prepared once on the connection and executed any number of times with new
// parameter values. Not copyable; movable. Must not outlive the Database it came from.
class Statement {
 public:
  Statement(Statement&&) noexcept;
  Statement& operator=(Statement&&) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  // Runs the statement with `params` (one per "?" marker, in order) and fetches its whole result.
  ResultSet Query(std::span<const Param> params = {});

  // Runs a statement that returns no rows (an insert, update or delete).
  void Execute(std::span<const Param> params = {});

  // Runs an insert built by InsertReturningKeySql for one record and gives the key the database
  // assigned to the new row. On SQL Server the key is the batch's own final result, never rows
  // that a trigger returned before it; no key there raises error 94 naming the statement.
  std::int64_t InsertReturningKey(std::span<const Param> params);

  // The same for an insert built by InsertReturningKeySql for `rows` records: `params` holds the
  // values of the records one after the other, and the keys come back in record order. Fewer or
  // more keys than records raise error 94 as above.
  std::vector<std::int64_t> InsertReturningKeys(std::span<const Param> params, std::size_t rows);

 private:
  friend class Database;
  struct Impl;
  explicit Statement(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The one connection to the business database (`cnDatabase`). Not copyable.
class Database {
 public:
  // Opens the connection described by `connectionString` (ODBC key=value pairs, passed to the
  // driver as they are). A failure raises a RunError carrying the driver's native error,
  // SQLSTATE and message. The open ends within `loginTimeoutSeconds` and one more second
  // whatever the driver does; running past it is error errors::kDatabaseTimeout. Every
  // statement prepared on the connection gets `statementTimeoutSeconds` as its time limit, and
  // one that runs past it raises errors::kDatabaseTimeout too.
  static std::unique_ptr<Database> Open(const std::string& connectionString,
                                        int loginTimeoutSeconds, int statementTimeoutSeconds = 30);

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // SQL Server or SQLite, from the DBMS name the driver reported when the connection opened.
  Dialect dialect() const { return dialect_; }
  // The DBMS name as the driver reported it.
  const std::string& dbmsName() const { return dbmsName_; }
  bool isOpen() const;
  // The time limit of every statement, in seconds.
  int statementTimeoutSeconds() const { return statementTimeoutSeconds_; }
  // Whether the database reads JSON documents with OPENJSON: SQL Server 2016 and later, at
  // compatibility level 130 and up. Asked of the server once, at the first transaction or use,
  // whichever comes first (a statement that fails tells no); never so on SQLite.
  bool readsJson();

  // Prepares `sql` in this connection's dialect. Raises RunError when the database refuses it.
  Statement Prepare(const Sql& sql);

  // One-shot forms of Prepare(sql).Query / Execute.
  ResultSet Query(const Sql& sql, std::span<const Param> params = {});
  void Execute(const Sql& sql, std::span<const Param> params = {});

  // Transactions. Begin turns off auto-commit; Commit and Rollback end the transaction and turn
  // auto-commit back on. Outside a transaction every statement takes effect at once. A failure
  // of any of these, the turning back on included, raises RunError.
  void Begin();
  void Commit();
  void Rollback();
  bool inTransaction() const { return inTransaction_; }

  // Closes the connection; later calls do nothing. Statements must be gone by then. Raises
  // RunError when the driver refuses to close it.
  void Close();

 private:
  explicit Database(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
  Dialect dialect_ = Dialect::kSqlServer;
  std::string dbmsName_;
  int statementTimeoutSeconds_ = 30;
  bool inTransaction_ = false;
  std::optional<bool> readsJson_;
};

// Rolls back the transaction it began unless Commit was called: the way to make a group of
// writes all-or-nothing. Not copyable.
class Transaction {
 public:
  explicit Transaction(Database& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  Database& db_;
  bool done_ = false;
};

// Makes the writes of `write` all-or-nothing and commits them. `write(true)` may put many
// records in one statement; when it fails, the same writes run once more with one record per
// statement (`write(false)`), in a transaction that is rolled back whatever happens, to find the
// record the database refuses: that failure, which names the record, is raised when it is the
// same error, the first one otherwise. A time limit that ran out is not tried again. Either way
// nothing of the writes stays in the database.
void WriteInOneTransaction(Database& db, const std::function<void(bool batched)>& write);

}  // namespace saldor

#endif  // SALDOR_APP_DATABASE_H_
