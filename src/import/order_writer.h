#ifndef SALDOR_IMPORT_ORDER_WRITER_H_
#define SALDOR_IMPORT_ORDER_WRITER_H_

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "app/database.h"
#include "app/dates.h"
#include "app/record_insert.h"
#include "import/import_state.h"

namespace saldor {

// Writes the orders of one file: each order's header once, with its final totals and its key
// given back by the same request, and then its lines under that key, as many records per
// request as RecordInsert takes. Unbatched, each record has a statement of its own, which pins
// a failure on its row. Not copyable; must not outlive `db`.
class OrderWriter {
 public:
  // `fileName` names the order file in error reports; `clock` gives each order's DateAdded.
  OrderWriter(Database& db, Clock clock, std::string fileName, bool batched);
  OrderWriter(const OrderWriter&) = delete;
  OrderWriter& operator=(const OrderWriter&) = delete;

  // Writes `orders`, dated `orderDate`, in their order. Each DateAdded is read from the clock
  // when its order's values are gathered for the request that writes it. A database failure
  // raises the driver's error naming the file and the row (or the first and last rows) of the
  // records the failed request wrote; what was written before stays for the caller's
  // transaction to undo.
  void Write(std::span<const FileOrder* const> orders, Date orderDate);

 private:
  // Inserts the lines gathered so far.
  void FlushLines();

  Clock clock_;
  std::string fileName_;
  RecordInsert headers_;
  RecordInsert lines_;
  std::vector<Param> lineValues_;
  std::vector<std::size_t> lineRows_;  // the file rows of the lines gathered
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ORDER_WRITER_H_
