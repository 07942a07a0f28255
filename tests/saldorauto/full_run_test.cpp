// Whole runs of the real program: the demo business database on SQLite and on SQL Server, a real
// FTP server on loopback, the real upload script, and the date of the run set with faketime.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "app/dates.h"
#include "app/error_numbers.h"
#include "app/partner_files.h"
#include "app/run_error.h"
#include "support/ftp_server.h"
#include "support/process.h"
#include "support/test_database.h"
#include "transfer/process_start.h"

namespace saldor {
namespace {

using namespace std::chrono_literals;
using testing::Backend;
using testing::FtpServer;
using testing::FtpServerOptions;
using testing::InstallProgram;
using testing::ProcessResult;
using testing::ReadFile;
using testing::SourcePath;
using testing::TempDir;
using testing::TestDatabase;

class FullRunTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(partner.path());
    program = InstallProgram(folder, tdb.connectionString());
    std::filesystem::create_directories(folder / "temp");
    std::filesystem::copy_file(SourcePath("scripts/" + script), folder / "temp" / script);
  }

  // The environment of a run: the FTP server on `port` (0: the fixture's), short pacing waits.
  std::map<std::string, std::string> Environment(int port = 0) const {
    return {{"ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0"},
            {"SALDOR_FTP_HOST", FtpServer::kHost},
            {"SALDOR_FTP_PORT", std::to_string(port != 0 ? port : server.port())},
            {"SALDOR_PACING_MS", "200"}};
  }

  // Runs the program with the clock set to `moment` ("2026-12-31 10:00:00") against the server
  // on `port` (0: the fixture's), with `env` on top of the usual environment.
  ProcessResult RunAt(const std::string& moment, int port = 0,
                      std::map<std::string, std::string> env = {}) {
    env.merge(Environment(port));
    return testing::RunProcessAt(moment, program, {}, std::move(env), 120s);
  }

  // Waits until the server has received `count` uploads; gives how many it saw.
  int AwaitUploads(int count) {
    auto deadline = std::chrono::steady_clock::now() + 30s;
    int received = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      received = 0;
      for (const std::string& entry : server.Log()) received += entry.rfind("received ", 0) == 0;
      if (received >= count) break;
      std::this_thread::sleep_for(20ms);
    }
    return received;
  }

  TestDatabase tdb{GetParam(), /*withDemoData=*/true};
  TempDir dir{"saldor full run \xC3\xBC"};  // a blank and a "u-umlaut"
  std::filesystem::path folder = dir / "Saldor Auto";
  TempDir partner{"saldor-partner"};
  FtpServer server{partner.path()};
  std::filesystem::path program;
  // The platform's upload script: fileup.sh, or fileup.bat on Windows.
  const std::string script = ScriptPath({}, "fileup").filename().string();
};

SALDOR_ON_BOTH_DATABASES(FullRunTest);

TEST_P(FullRunTest, TheLastRunOfTheYearDoesTheWholeJob) {
  // The partner lists today's file with the date in capitals.
  std::filesystem::copy_file(SourcePath("scripts/demo_order_file.csv"),
                             partner.path() / "Saldor_to_vendor_31-DEC-2026.csv");

  ProcessResult run = RunAt("2026-12-31 10:00:00");
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out.rfind("12/31/2026 10:00:", 0), 0u) << run.out;
  EXPECT_NE(run.out.find(" AM  - Program Loaded\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;

  // Both exports written into temp and handed to the real upload script.
  EXPECT_TRUE(std::filesystem::exists(folder / "temp" / "saldor_available_inventory.csv"));
  EXPECT_TRUE(std::filesystem::exists(folder / "temp" / "Vendor_to_saldor_01-Jan-2027.csv"));
  EXPECT_EQ(AwaitUploads(2), 2);
  EXPECT_EQ(ReadFile(partner.path() / "Vendor_to_saldor_01-Jan-2027.csv"),
            ReadFile(folder / "temp" / "Vendor_to_saldor_01-Jan-2027.csv"));

  // The order file fetched into the program folder under its local name, and imported.
  EXPECT_EQ(ReadFile(folder / "Saldor_to_vendor_31-Dec-2026.csv"),
            ReadFile(SourcePath("scripts/demo_order_file.csv")));
  EXPECT_EQ(tdb.Lines("SELECT COUNT(*), MIN(OrderDate), MAX(OrderDate) FROM Orders "
                      "WHERE EnteredBy='SaldorImport'"),
            std::vector<std::string>{"3|2027-01-01|2027-01-01"});
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Orders WHERE EnteredBy='SaldorImport' AND "
                       "SubTotal > 0 AND Total = SubTotal"),
            "3");
  // After each task a line on what it did.
  const std::string orderFile = (folder / "Saldor_to_vendor_31-Dec-2026.csv").string();
  const std::string importLine = "ImportOrderFile: " + orderFile + ": ";
  for (const std::string& line : {
           "ExportAvailableInventory: 6 records written to " +
               (folder / "temp" / "saldor_available_inventory.csv").string() +
               ", handed to the upload",
           "ExportOrderStatus: 4 records (the label row and 3 order lines) written to " +
               (folder / "temp" / "Vendor_to_saldor_01-Jan-2027.csv").string() +
               ", handed to the upload",
           "DownloadOrderFile: Saldor_to_vendor_31-DEC-2026.csv fetched from 127.0.0.1, " +
               std::to_string(std::filesystem::file_size(orderFile)) + " bytes, as " + orderFile,
           importLine + "3 orders with 6 lines created; 0 orders left alone as already imported; "
                        "given the placeholder item, as they matched no item: ZZ99.UNKNOWN (first "
                        "in row 4)",
       }) {
    EXPECT_NE(run.out.find("\n" + line + "\n"), std::string::npos) << line << "\n" << run.out;
  }

  // Started again the same day, the partner's file having gained an order since: the new order
  // is created, the three of the first run are not created again.
  std::string file = ReadFile(SourcePath("scripts/demo_order_file.csv"));
  const std::size_t last = file.rfind("\n4500122,1,") + 1;
  file += "4500123" + file.substr(last + 7);
  testing::WriteFile(partner.path() / "Saldor_to_vendor_31-DEC-2026.csv", file);
  ProcessResult again = RunAt("2026-12-31 10:30:00");
  ASSERT_EQ(again.exitStatus, 0) << again.err;
  const std::string allOrders =
      "SELECT OrderNumber, (SELECT COUNT(*) FROM OrderItems WHERE OrderID = Orders.ID) "
      "FROM Orders WHERE EnteredBy='SaldorImport' ORDER BY ID";
  const std::vector<std::string> fourOrders{"4500120|3", "4500121|2", "4500122|1", "4500123|1"};
  EXPECT_EQ(tdb.Lines(allOrders), fourOrders);
  EXPECT_NE(
      again.out.find(importLine + "1 order with 1 line created; 3 orders left alone as already "
                                  "imported (4500120, 4500121, 4500122); every line created "
                                  "matched an item\n"),
      std::string::npos)
      << again.out;

  // And once more, the partner's file gone from the server: the downloaded copy is imported
  // again, and nothing is created.
  std::filesystem::remove(partner.path() / "Saldor_to_vendor_31-DEC-2026.csv");
  ProcessResult third = RunAt("2026-12-31 11:00:00");
  ASSERT_EQ(third.exitStatus, 0) << third.err;
  EXPECT_EQ(tdb.Lines(allOrders), fourOrders);
  for (const std::string& line :
       {std::string(
            "DownloadOrderFile: no Saldor_to_vendor_31-Dec-2026.csv listed on 127.0.0.1 for today"),
        importLine + "0 orders with 0 lines created; 4 orders left alone as already imported "
                     "(4500120, 4500121, 4500122, 4500123)"}) {
    EXPECT_NE(third.out.find("\n" + line + "\n"), std::string::npos) << line << "\n" << third.out;
  }
}

TEST_P(FullRunTest, AFailureInTheFirstTaskStopsTheRun) {
  std::filesystem::remove(folder / "temp" / script);
  std::filesystem::copy_file(SourcePath("scripts/demo_order_file.csv"),
                             partner.path() / "Saldor_to_vendor_31-Dec-2026.csv");

  ProcessResult run = RunAt("2026-12-31 10:00:00");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err.rfind("error ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(script), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("task: ExportAvailableInventory"), std::string::npos) << run.err;
  // No order status export, no download, no import.
  EXPECT_FALSE(std::filesystem::exists(folder / "temp" / "Vendor_to_saldor_01-Jan-2027.csv"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Saldor_to_vendor_31-Dec-2026.csv"));
  EXPECT_TRUE(server.Log().empty());
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Orders WHERE EnteredBy='SaldorImport'"), "0");
}

// Runs whose database plays no part: on SQLite only.
class OnOneDatabaseRunTest : public FullRunTest {};
INSTANTIATE_TEST_SUITE_P(OnDatabase, OnOneDatabaseRunTest, ::testing::Values(Backend::kSqlite),
                         testing::BackendParamName());

TEST_P(OnOneDatabaseRunTest, ARunStuckInAStalledDownloadEndsAtItsLimitAndTheNextRunGoesAhead) {
  // The partner's server sends half of today's file, then nothing on either connection. The FTP
  // client would wait a minute; the run's own limit ends it first. Under wine the program takes
  // the real date: the server has that day's file too.
  TempDir stallingRoot{"saldor-stalling-partner"};
  const std::vector<std::string> names{"Saldor_to_vendor_31-Dec-2026.csv",
                                       OrderFileName(LocalDate(SystemClock()()))};
  for (const std::string& name : names) {
    testing::WriteFile(stallingRoot / name, std::string(100000, 'x'));
  }
  FtpServer stalling(stallingRoot.path(), FtpServerOptions{.cutFiles = {}, .stallFiles = names});
  // Uploads that end at once: under wine a script's retries would hold the run's output open.
  std::filesystem::remove(folder / "temp" / script);
  testing::InstallIdleUploadScript(folder / "temp");

  ProcessResult run = RunAt("2026-12-31 10:00:00", stalling.port(), {{"SALDOR_RUN_LIMIT_S", "10"}});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err.rfind("error 1460: The run went past its time limit\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("\n  task: DownloadOrderFile\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("SALDOR_RUN_LIMIT_S=10"), std::string::npos) << run.err;
  for (const std::string& name : names) EXPECT_FALSE(std::filesystem::exists(folder / name));

  // The instance lock ended with the process: the next start is not refused.
  ProcessResult next = RunAt("2026-12-31 10:00:00");
  EXPECT_EQ(next.exitStatus, 0) << next.err;
}

// A run killed while it imports: on SQL Server, where another session can see that the import is
// under way.
class KilledRunTest : public FullRunTest {};
INSTANTIATE_TEST_SUITE_P(OnDatabase, KilledRunTest, ::testing::Values(Backend::kSqlServer),
                         testing::BackendParamName());

TEST_P(KilledRunTest, AKillInTheMiddleOfTheImportLeavesNoOrderAndNoLine) {
  // Today's order file, beside the program: one order of 3000 lines numbered 1 to 3000.
  std::string file = "H1";
  for (int c = 2; c <= 35; ++c) file += ",H" + std::to_string(c);
  for (int line = 1; line <= 3000; ++line) {
    file += "\r\nPO-1," + std::to_string(line) + std::string(19, ',') + "CAN10.NAT,,1,,2.5" +
            std::string(10, ',');
  }
  testing::WriteFile(folder / OrderFileName(LocalDate(std::chrono::system_clock::now())),
                     file + "\r\n");
  // Uploads that end at once: under wine a started script keeps the run's database connection
  // (FreeTDS's socket, a unix descriptor) open while it runs, even after the run was killed.
  testing::InstallIdleUploadScript(folder / "temp");
  // With line numbers unique, a line of another session's holds the run's line of the same
  // number until that session ends: line 2999 keeps the run in the middle of its import, and
  // line 2, tried again and again, shows when the run has got there (it waits for the run's own
  // line 2, which the run holds uncommitted).
  tdb.Exec("DELETE FROM OrderItems; CREATE UNIQUE INDEX OneLineNumber ON OrderItems (ItemNumber)");
  std::unique_ptr<Database> holder = tdb.Open();
  holder->Begin();
  holder->Execute(Sql{"INSERT INTO OrderItems (ItemNumber) VALUES ('2999')", ""});

  std::optional<testing::BackgroundProcess> run;
  run.emplace(program, std::vector<std::string>{}, Environment());
  bool importing = false;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!importing && run->Running() && std::chrono::steady_clock::now() < deadline) {
    std::unique_ptr<Database> probe = tdb.Open(/*statementTimeoutSeconds=*/1);
    Transaction transaction(*probe);  // never committed
    try {
      probe->Execute(Sql{"INSERT INTO OrderItems (ItemNumber) VALUES ('2')", ""});
      std::this_thread::sleep_for(20ms);
    } catch (const RunError& error) {
      ASSERT_EQ(error.number(), errors::kDatabaseTimeout) << error.Report();
      importing = true;
    }
  }
  ASSERT_TRUE(importing) << run->Output();
  run.reset();  // kill -9
  holder->Rollback();

  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM Orders WHERE EnteredBy = 'SaldorImport'"), "0");
  EXPECT_EQ(tdb.Scalar("SELECT COUNT(*) FROM OrderItems"), "0");
}

}  // namespace
}  // namespace saldor
