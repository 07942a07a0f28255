#include "support/test_database.h"

#include <sqlite3.h>

#include <stdexcept>

namespace saldor::testing {
namespace {

void ExecOn(const std::filesystem::path& file, const std::string& sql) {
  sqlite3* handle = nullptr;
  if (sqlite3_open(file.c_str(), &handle) != SQLITE_OK) {
    sqlite3_close(handle);
    throw std::runtime_error("cannot open " + file.string());
  }
  char* message = nullptr;
  int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
  std::string error = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(handle);
  if (rc != SQLITE_OK) throw std::runtime_error("SQLite: " + error + " in: " + sql.substr(0, 200));
}

}  // namespace

std::filesystem::path SourcePath(const std::string& relative) {
  return std::filesystem::path(SALDOR_SOURCE_DIR) / relative;
}

TestDatabase::TestDatabase(bool withDemoData) : dir_("saldor-db") {
  file_ = dir_.path() / "business.db";
  ExecOn(file_, ReadFile(SourcePath("db/sqlite/business.sql")));
  if (withDemoData) ExecOn(file_, ReadFile(SourcePath("db/sqlite/demo.sql")));
}

std::string TestDatabase::connectionString() const {
  return "Driver=SQLite3;Database=" + file_.string() + ";";
}

Database& TestDatabase::db() {
  if (!db_) db_ = Database::Open(connectionString(), 10);
  return *db_;
}

void TestDatabase::Exec(const std::string& sql) { ExecOn(file_, sql); }

std::string TestDatabase::Scalar(const std::string& sql) {
  sqlite3* handle = nullptr;
  sqlite3_open(file_.c_str(), &handle);
  sqlite3_stmt* stmt = nullptr;
  std::string result;
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string error = sqlite3_errmsg(handle);
    sqlite3_close(handle);
    throw std::runtime_error("SQLite: " + error + " in: " + sql);
  }
  if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL) {
    result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(handle);
  return result;
}

}  // namespace saldor::testing
