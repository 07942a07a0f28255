#include "import/order_writer.h"

#include <algorithm>
#include <utility>

#include "app/run_error.h"
#include "import/order_header.h"
#include "import/order_line.h"

namespace saldor {

OrderWriter::OrderWriter(Database& db, Clock clock, std::string fileName, bool batched)
    : clock_(std::move(clock)),
      fileName_(std::move(fileName)),
      headers_(db, "Orders", kOrderHeaderColumns, batched),
      lines_(db, "OrderItems", kOrderLineColumns, batched) {}

void OrderWriter::FlushLines() {
  if (lineRows_.empty()) return;
  try {
    lines_.Insert(lineValues_, lineRows_.size());
  } catch (RunError& error) {
    error.AddContext(FileRowsContext(fileName_, lineRows_.front(), lineRows_.back()));
    throw;
  }
  lineValues_.clear();
  lineRows_.clear();
}

void OrderWriter::Write(std::span<const FileOrder* const> orders, Date orderDate) {
  std::vector<Param> headerValues;
  const std::size_t perRequest = headers_.maxRecords();
  for (std::size_t first = 0; first < orders.size(); first += perRequest) {
    const std::span<const FileOrder* const> batch =
        orders.subspan(first, std::min(perRequest, orders.size() - first));
    headerValues.clear();
    for (const FileOrder* order : batch) {
      AppendOrderHeaderValues(order->opening, orderDate, LocalDateTime(clock_()), order->totals,
                              headerValues);
    }
    std::vector<std::int64_t> keys;
    try {
      keys = headers_.InsertReturningKeys(headerValues, batch.size());
    } catch (RunError& error) {
      error.AddContext(FileRowsContext(fileName_, batch.front()->row, batch.back()->row));
      throw;
    }
    for (std::size_t i = 0; i < batch.size(); ++i) {
      const std::string orderId = std::to_string(keys[i]);
      for (const OrderLine& line : batch[i]->lines) {
        AppendOrderLineValues(line, orderId, lineValues_);
        lineRows_.push_back(line.row);
        if (lineRows_.size() == lines_.maxRecords()) FlushLines();
      }
    }
  }
  FlushLines();
}

}  // namespace saldor
