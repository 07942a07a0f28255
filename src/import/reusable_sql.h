#ifndef SALDOR_IMPORT_REUSABLE_SQL_H_
#define SALDOR_IMPORT_REUSABLE_SQL_H_

#include <utility>

#include "app/database.h"

namespace saldor {

// `sql` with its SQLite text led by an empty WITH clause, which means the same. The SQLite ODBC
// driver compiles a plain INSERT or UPDATE anew on every execution; a statement that begins with
// WITH it compiles once and re-executes, which makes the per-row inserts of an import several
// times faster. The SQL Server text is left as it is.
inline Sql ReusableOnSqlite(Sql sql) {
  sql.sqlite = "WITH Reuse AS (SELECT 1) " + sql.sqlite;
  return sql;
}

}  // namespace saldor

#endif  // SALDOR_IMPORT_REUSABLE_SQL_H_
