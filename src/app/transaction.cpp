#include "app/database.h"
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

}  // namespace saldor
