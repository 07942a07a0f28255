#ifndef SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_
#define SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/run_context.h"
#include "support/test_database.h"

namespace saldor::testing {

using CsvRows = std::vector<std::vector<std::string>>;

// Reads an exported file strictly: every field quoted (inner quotes doubled), commas between
// fields, every line ended by CRLF. A violation fails the test.
CsvRows ReadCsv(const std::filesystem::path& path);

// Noon of a local day, for a fixed clock.
std::chrono::system_clock::time_point LocalNoon(int year, int month, int day);

// Checks that `text` is exactly `pieces` joined, naming the first piece that differs.
void ExpectPieces(const std::string& text, const std::vector<std::string>& pieces);

// A real business database on `backend` and a program folder (with a blank in its path) with its
// temp folder.
class ReportFixture {
 public:
  explicit ReportFixture(Backend backend = Backend::kSqlite);
  TestDatabase& database() { return database_; }
  std::filesystem::path tempFolder() const { return folder_.path() / "temp"; }
  Screen& screen() { return screen_; }
  RunContext Context(std::chrono::system_clock::time_point moment);

 private:
  TestDatabase database_;
  TempDir folder_{"saldor reports"};
  Settings settings_;
  Screen screen_;
};

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_
