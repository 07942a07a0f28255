#ifndef SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_
#define SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/run_context.h"
#include "support/temp_dir.h"
#include "support/test_database.h"

namespace saldor::testing {

using CsvRows = std::vector<std::vector<std::string>>;

// Reads a file written by ExportReport, strictly: every field in double quotes (inner quotes
// doubled), fields separated by commas, every line ended by CRLF. A violation fails the test.
CsvRows ReadCsv(const std::filesystem::path& path);

// A noon moment of the given local day, for a fixed clock.
std::chrono::system_clock::time_point LocalNoon(int year, int month, int day);

// A real business database, a program folder with an upload script that records its arguments,
// and a clock fixed at noon of a given day.
class ReportFixture {
 public:
  ReportFixture();

  TestDatabase& database() { return database_; }
  const std::filesystem::path& programFolder() const { return programFolder_.path(); }
  std::filesystem::path tempFolder() const { return programFolder_.path() / "temp"; }
  Screen& screen() { return screen_; }

  // The context of a task run on `moment`.
  RunContext Context(std::chrono::system_clock::time_point moment);

  // Each upload started so far: the four arguments the script received. Waits a little for
  // `expected` uploads to have reached the script, as the script runs on its own.
  std::vector<std::vector<std::string>> Uploads(std::size_t expected);

 private:
  TestDatabase database_;
  TempDir programFolder_{"saldor reports"};
  Settings settings_;
  Screen screen_;
};

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_REPORTS_REPORT_FIXTURE_H_
