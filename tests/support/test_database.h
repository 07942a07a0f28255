#ifndef SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
#define SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/database.h"
#include "support/temp_dir.h"

namespace saldor::testing {

// A real SQLite business database in a temp folder, created from db/sqlite/business.sql, reached
// through the SQLite3 ODBC driver like the program reaches its database. No SQLite library is
// linked: setting up and checking go through the driver too, on a connection of their own.
class TestDatabase {
 public:
  // Creates the schema; when `withDemoData`, also loads db/sqlite/demo.sql.
  explicit TestDatabase(bool withDemoData = false);

  const std::filesystem::path& file() const { return file_; }
  // "Driver=SQLite3;Database=<file>;", the file as the driver sees it (see HostPath).
  std::string connectionString() const;

  // The ODBC connection (opened on first use).
  Database& db();

  // Runs SQL text (several statements allowed) on a connection of its own, for setting up data
  // and checking results. A refused statement throws std::runtime_error.
  void Exec(const std::string& sql);
  // The first column of the first row of `sql` as SQLite shows it as text ("" for none or
  // null): "25.0" for a whole floating value.
  std::string Scalar(const std::string& sql);
  // Every row of `sql` as column -> text as Scalar gives it (nullopt for NULL).
  using Record = std::map<std::string, std::optional<std::string>>;
  std::vector<Record> Rows(const std::string& sql);

 private:
  TempDir dir_;
  std::filesystem::path file_;
  std::unique_ptr<Database> db_;
};

// The path of a file of the source tree, e.g. SourcePath("db/sqlite/demo.sql").
std::filesystem::path SourcePath(const std::string& relative);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_TEST_DATABASE_H_
