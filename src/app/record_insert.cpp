#include "app/record_insert.h"

#include <algorithm>
#include <iterator>

#include "app/json_records.h"

namespace saldor {

RecordInsert::RecordInsert(Database& db, std::string_view table,
                           std::span<const std::string_view> columns, bool batched)
    : db_(db),
      table_(table),
      columns_(columns.begin(), columns.end()),
      json_(db.readsJson()),
      maxRecords_(!batched ? 1
                  : json_  ? kJsonRecords
                           : std::max<std::size_t>(1, kMaxStatementParameters / columns.size())) {}

Statement& RecordInsert::Prepared(const Sql& sql) {
  const std::string& text = sql.For(db_.dialect());
  auto it = prepared_.find(text);
  if (it == prepared_.end()) it = prepared_.emplace(text, db_.Prepare(sql)).first;
  return it->second;
}

std::vector<std::int64_t> RecordInsert::InsertJson(std::span<const Param> values,
                                                   std::size_t records, bool returnKeys) {
  const std::size_t columns = columns_.size();
  const JsonLayout whole = JsonLayoutOf(values, columns);
  const std::size_t markers = whole.markerColumns();
  const std::size_t perStatement =
      markers == 0 ? records : std::max<std::size_t>(1, kMaxStatementParameters / markers - 1);
  std::vector<std::int64_t> keys;
  for (std::size_t first = 0; first < records; first += perStatement) {
    const std::size_t count = std::min(perStatement, records - first);
    const std::span<const Param> part = values.subspan(first * columns, count * columns);
    const JsonLayout layout = JsonLayoutOf(part, columns);
    std::vector<Param> params = {JsonRecords(part, columns, layout)};
    std::vector<Param> markerValues = JsonMarkerValues(part, columns, layout);
    params.insert(params.end(), std::make_move_iterator(markerValues.begin()),
                  std::make_move_iterator(markerValues.end()));
    Statement& statement =
        Prepared(JsonInsertSql(table_, columns_, layout.types, layout.markers, count, returnKeys));
    if (returnKeys) {
      const std::vector<std::int64_t> partKeys = statement.InsertReturningKeys(params, count);
      keys.insert(keys.end(), partKeys.begin(), partKeys.end());
    } else {
      statement.Execute(params);
    }
  }
  return keys;
}

void RecordInsert::Insert(std::span<const Param> values, std::size_t records) {
  if (json_) {
    InsertJson(values, records, false);
  } else {
    Prepared(InsertSql(table_, columns_, records)).Execute(values);
  }
}

std::vector<std::int64_t> RecordInsert::InsertReturningKeys(std::span<const Param> values,
                                                            std::size_t records) {
  if (json_) return InsertJson(values, records, true);
  return Prepared(InsertReturningKeySql(table_, columns_, records))
      .InsertReturningKeys(values, records);
}

}  // namespace saldor
