#ifndef SALDOR_APP_SQL_TEXT_H_
#define SALDOR_APP_SQL_TEXT_H_

// Statement texts. Every statement the program runs keeps two texts side by side: the
// Transact-SQL text used on SQL Server and a SQLite text with the same meaning, used by the
// embedded default and the tests. Values always travel as bound parameters ("?" markers), never
// spliced into the text.

#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// The dialect of the DBMS a driver names ("Microsoft SQL Server", "SQLite"), found without regard
// to letter case; nothing for any other DBMS.
std::optional<Dialect> DialectOfDbms(std::string_view dbmsName);

// "INSERT INTO <table> (<c1>,...,<cn>) VALUES (?,...,?)" in both dialects.
Sql InsertSql(std::string_view table, std::span<const std::string_view> columns);

// An insert that also yields the key the database assigns, for Statement::InsertReturningKey.
// On SQL Server the key is read with SCOPE_IDENTITY() in the same batch and scope as the insert,
// so triggers and other sessions cannot give a wrong key; on SQLite with last_insert_rowid() on
// the same connection right after the insert.
Sql InsertReturningKeySql(std::string_view table, std::span<const std::string_view> columns);

}  // namespace saldor

#endif  // SALDOR_APP_SQL_TEXT_H_
