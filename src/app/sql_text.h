#ifndef SALDOR_APP_SQL_TEXT_H_
#define SALDOR_APP_SQL_TEXT_H_

// Statement texts. Every statement the program runs keeps two texts side by side: the
// Transact-SQL text used on SQL Server and a SQLite text with the same meaning, used by the
// embedded default and the tests. Values always travel as bound parameters ("?" markers), never
// spliced into the text.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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

// The dialect of the DBMS a driver names ("Microsoft SQL Server", "SQLite"), found without regard
// to letter case; nothing for any other DBMS.
std::optional<Dialect> DialectOfDbms(std::string_view dbmsName);

// The most "?" markers one statement may have. SQL Server takes 2,100 parameters per request,
// and the procedure through which a driver runs a prepared statement counts its own among them;
// the rest of the room is left for those.
inline constexpr std::size_t kMaxStatementParameters = 2000;

// "INSERT INTO <table> (<c1>,...,<cn>) VALUES (?,...,?)" in both dialects; with `rows` above 1 one
// statement inserting that many records, "(?,...,?)" for each, their values record after record.
Sql InsertSql(std::string_view table, std::span<const std::string_view> columns,
              std::size_t rows = 1);

// An insert of `rows` records that also yields the key the database assigns to each, for
// Statement::InsertReturningKeys. On SQL Server one batch: each record's insert is followed by
// reading its key with SCOPE_IDENTITY() in the same batch and scope, so that triggers and other
// sessions cannot give a wrong key, and the keys come back together, in record order, as the
// batch's final result. On SQLite the insert of one record, run once per record, each followed
// by last_insert_rowid() on the same connection.
Sql InsertReturningKeySql(std::string_view table, std::span<const std::string_view> columns,
                          std::size_t rows = 1);

// An insert of `records` records that arrive as one JSON document (see JsonRecords), read with
// OPENJSON: a SQL Server statement only (2016 and later, at compatibility level 130 and up); its
// SQLite text is empty. `types` are the Transact-SQL types the columns' values are read as;
// the columns flagged in `markers` come instead as "?" markers after the document's, record after
// record (see JsonLayoutOf). The records go in in their order, so the keys the database assigns
// follow it. With `returnKeys` each record is inserted by a statement of its own, followed by
// reading its key with SCOPE_IDENTITY(), and the keys come back together, in record order, as
// the batch's final result, as with InsertReturningKeySql. Without marker columns the text is
// the same for any number of records.
Sql JsonInsertSql(std::string_view table, std::span<const std::string_view> columns,
                  std::span<const std::string> types, const std::vector<bool>& markers,
                  std::size_t records, bool returnKeys);

}  // namespace saldor

#endif  // SALDOR_APP_SQL_TEXT_H_
