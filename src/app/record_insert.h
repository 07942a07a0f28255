#ifndef SALDOR_APP_RECORD_INSERT_H_
#define SALDOR_APP_RECORD_INSERT_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/database.h"

namespace saldor {

// Inserts records into one table, many in one request where the database allows. On a SQL
// Server that reads JSON (Database::readsJson) the values of up to kJsonRecords records travel
// as one JSON document, one parameter, and one statement inserts them: a server takes one
// parameter far faster than thousands. Elsewhere (SQLite, an older SQL Server) they are the "?"
// markers of one multi-row insert, up to kMaxStatementParameters. Either way the records go in
// in their order and their values reach their columns as bound parameters would. Not copyable;
// must not outlive the database.
class RecordInsert {
 public:
  // The most records one JSON document carries.
  static constexpr std::size_t kJsonRecords = 1000;

  // Inserts into `columns` of `table`; unless `batched`, one record per statement, so that a
  // failure names the record at fault.
  RecordInsert(Database& db, std::string_view table, std::span<const std::string_view> columns,
               bool batched = true);
  RecordInsert(const RecordInsert&) = delete;
  RecordInsert& operator=(const RecordInsert&) = delete;

  // The most records one call takes.
  std::size_t maxRecords() const { return maxRecords_; }

  // Inserts `records` records whose values `values` holds record after record, a value per
  // column each. Requires 1 <= records <= maxRecords(). A failure raises the driver's error; on
  // a failure nothing of the call stays in the database unless a transaction keeps a part.
  void Insert(std::span<const Param> values, std::size_t records);

  // The same, giving the key the database assigned to each record, in record order. Each record
  // is inserted by a statement of its own (in one request where the server allows), so that
  // the table's triggers see one record at a time and each key is read right after its insert.
  std::vector<std::int64_t> InsertReturningKeys(std::span<const Param> values, std::size_t records);

 private:
  // The statement of `sql` in the connection's dialect, prepared on first use.
  Statement& Prepared(const Sql& sql);
  // Runs the JSON insert of `records` records, as many at a time as their marker columns allow;
  // gives the keys when `returnKeys`.
  std::vector<std::int64_t> InsertJson(std::span<const Param> values, std::size_t records,
                                       bool returnKeys);

  Database& db_;
  std::string table_;
  std::vector<std::string_view> columns_;
  bool json_;
  std::size_t maxRecords_;
  std::map<std::string, Statement> prepared_;  // by the text of the statement
};

}  // namespace saldor

#endif  // SALDOR_APP_RECORD_INSERT_H_
