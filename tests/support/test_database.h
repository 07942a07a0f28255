#ifndef SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
#define SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_

#include <filesystem>
#include <memory>
#include <string>

#include "app/database.h"
#include "support/temp_dir.h"

namespace saldor::testing {

// A real SQLite business database in a temp folder, created from db/sqlite/business.sql, reached
// through the SQLite3 ODBC driver like the program reaches its database.
class TestDatabase {
 public:
  // Creates the schema; when `withDemoData`, also loads db/sqlite/demo.sql.
  explicit TestDatabase(bool withDemoData = false);

  const std::filesystem::path& file() const { return file_; }
  // "Driver=SQLite3;Database=<file>;"
  std::string connectionString() const;

  // The ODBC connection (opened on first use).
  Database& db();

  // Runs SQL text (several statements allowed) straight through the SQLite library, for
  // setting up data and checking results.
  void Exec(const std::string& sql);
  // The first column of the first row of `sql` as text ("" for none or null), straight through
  // the SQLite library.
  std::string Scalar(const std::string& sql);

 private:
  TempDir dir_;
  std::filesystem::path file_;
  std::unique_ptr<Database> db_;
};

// The path of a file of the source tree, e.g. SourcePath("db/sqlite/demo.sql").
std::filesystem::path SourcePath(const std::string& relative);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
