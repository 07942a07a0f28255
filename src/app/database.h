#ifndef SALDOR_APP_DATABASE_H_
#define SALDOR_APP_DATABASE_H_

// The business database, reached through one ODBC connection. This is the only part of the
// program that talks ODBC; every other part sees the small types declared here.
//
// Every statement the program runs keeps two texts side by side: the Transact-SQL text used on
// SQL Server and a SQLite text with the same meaning, used by the embedded default and the tests.
// The connection picks one by the DBMS name that the driver reports. Values always travel as
// bound parameters ("?" markers), never spliced into the SQL text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace saldor {

enum class Dialect { kSqlServer, kSqlite };

// One statement in both dialects. Both texts use "?" for every value.
struct Sql {
  std::string sqlServer;
  std::string sqlite;

  const std::string& For(Dialect dialect) const {
    return dialect == Dialect::kSqlServer ? sqlServer : sqlite;
  }
};

// A calendar date without time of day.
struct Date {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  friend bool operator==(const Date&, const Date&) = default;
};

// A local date and time of day, to the second.
struct DateTime {
  Date date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A value bound to a "?" marker. std::nullptr_t binds SQL NULL; std::string binds text (UTF-8).
using Param = std::variant<std::nullptr_t, std::string, std::int64_t, double, bool, Date, DateTime>;

// One field of a fetched row. Integers arrive as integers, floating and decimal columns as
// doubles, everything else (text, dates) as text.
class Field {
 public:
  using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

  Field() = default;
  explicit Field(Value value) : value_(std::move(value)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  const Value& value() const { return value_; }

  // The standard text form: an integer as its decimal digits, any other number in its shortest
  // general decimal form ("12.5", never "12.5000"), text as it is. Requires a non-null field;
  // a null raises error 94 "Invalid use of Null" naming `what` in its context.
  std::string AsText(std::string_view what) const;

  // The same, but a null gives `ifNull`.
  std::string TextOr(std::string_view ifNull) const;

  // The value as a double. Requires a non-null field that holds a number or a text that reads as
  // one; a null raises error 94, a text that is no number error 13, naming `what`.
  double AsNumber(std::string_view what) const;

 private:
  Value value_;
};

// The whole result of a query, fetched at once. Columns are found by name, compared without
// regard to letter case as SQL does.
class ResultSet {
 public:
  ResultSet() = default;
  ResultSet(std::vector<std::string> columns, std::vector<Field> fields);
  // The same, with column names shared with other results of one statement.
  ResultSet(std::shared_ptr<const std::vector<std::string>> columns, std::vector<Field> fields);

  const std::vector<std::string>& columns() const { return *columns_; }
  std::size_t size() const { return columns_->empty() ? 0 : fields_.size() / columns_->size(); }
  bool empty() const { return size() == 0; }

  // The index of the named column. A name the result does not have raises error 3265
  // "Item cannot be found in the collection corresponding to the requested name or ordinal.".
  std::size_t ColumnIndex(std::string_view name) const;

  // The field of row `row` (0-based, requires row < size()) in the named column.
  const Field& Get(std::size_t row, std::string_view column) const;
  const Field& At(std::size_t row, std::size_t column) const {
    return fields_[row * columns_->size() + column];
  }

 private:
  static std::shared_ptr<const std::vector<std::string>> NoColumns();
  std::shared_ptr<const std::vector<std::string>> columns_ = NoColumns();
  std::vector<Field> fields_;  // row-major
};

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

  // Runs an insert built by InsertReturningKeySql and gives the key the database assigned to the
  // new row.
  std::int64_t InsertReturningKey(std::span<const Param> params);

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
  // driver as they are), with the login timeout set before connecting. A failure raises a
  // RunError carrying the driver's native error, SQLSTATE and message.
  static std::unique_ptr<Database> Open(const std::string& connectionString,
                                        int loginTimeoutSeconds);

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // SQL Server or SQLite, from the DBMS name the driver reported when the connection opened.
  Dialect dialect() const { return dialect_; }
  // The DBMS name as the driver reported it.
  const std::string& dbmsName() const { return dbmsName_; }
  bool isOpen() const;

  // Prepares `sql` in this connection's dialect. Raises RunError when the database refuses it.
  Statement Prepare(const Sql& sql);

  // One-shot forms of Prepare(sql).Query / Execute.
  ResultSet Query(const Sql& sql, std::span<const Param> params = {});
  void Execute(const Sql& sql, std::span<const Param> params = {});

  // Transactions. Begin turns off auto-commit; Commit and Rollback end the transaction and turn
  // auto-commit back on. Outside a transaction every statement takes effect at once.
  void Begin();
  void Commit();
  void Rollback();
  bool inTransaction() const { return inTransaction_; }

  // Closes the connection; later calls do nothing. Statements must be gone by then.
  void Close();

 private:
  explicit Database(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
  Dialect dialect_ = Dialect::kSqlServer;
  std::string dbmsName_;
  bool inTransaction_ = false;
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

// "INSERT INTO <table> (<c1>,...,<cn>) VALUES (?,...,?)" in both dialects.
Sql InsertSql(std::string_view table, std::span<const std::string_view> columns);

// An insert that also yields the key the database assigns, for Statement::InsertReturningKey.
// On SQL Server the key is read with SCOPE_IDENTITY() in the same batch and scope as the insert,
// so triggers and other sessions cannot give a wrong key; on SQLite with last_insert_rowid() on
// the same connection right after the insert.
Sql InsertReturningKeySql(std::string_view table, std::span<const std::string_view> columns);

}  // namespace saldor

#endif  // SALDOR_APP_DATABASE_H_
