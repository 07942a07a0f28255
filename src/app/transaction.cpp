#include "app/database.h"
#include "app/error_numbers.h"
#include "app/run_error.h"

namespace saldor {

Transaction::Transaction(Database& db) : db_(db) { db_.Begin(); }

Transaction::~Transaction() {
  if (done_) return;
  try {
    db_.Rollback();
  } catch (const RunError&) {
    // Already on the way out with another failure; that one is the one to report.
  }
}

void Transaction::Commit() {
  db_.Commit();
  done_ = true;
}

void WriteInOneTransaction(Database& db, const std::function<void(bool batched)>& write) {
  try {
    Transaction transaction(db);
    write(true);
    transaction.Commit();
  } catch (RunError& failure) {
    if (failure.number() != errors::kDatabaseTimeout) {
      try {
        Transaction trial(db);  // never committed
        write(false);
      } catch (RunError& single) {
        if (single.number() == failure.number()) throw;
      }
    }
    throw;
  }
}

}  // namespace saldor
