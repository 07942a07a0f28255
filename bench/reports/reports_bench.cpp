// The available inventory export of a large partner catalogue: 50,000 part number mappings with
// 100,000 open purchase order lines, from a SQLite business database through ODBC, to the file;
// and the same on SQL Server when a T-SQL server is at hand (see support/tsql_server.h), where it
// also counts the requests sent to the server. Reports query rows per second. A brief run:
// --benchmark_min_time=0.01

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/run_context.h"
#include "reports/export_available_inventory.h"
#include "support/test_database.h"
#include "support/tsql_server.h"

namespace saldor {
namespace {

constexpr int kMappings = 50000;
constexpr int kLinesPerItem = 2;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string error = message ? message : "?";
    sqlite3_free(message);
    throw std::runtime_error("SQLite: " + error);
  }
}

// Fills the business database: every item mapped once for the partner, with stock at the
// warehouse (every fourth item over-committed) and two open purchase order lines. Part numbers
// come in groups of five items sharing the first piece.
void Populate(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open(file.string().c_str(), &db) != SQLITE_OK) throw std::runtime_error("open");
  Exec(db, ReadText(std::filesystem::path(SALDOR_SOURCE_DIR) / "db/sqlite/business.sql"));
  Exec(db,
       "BEGIN; INSERT INTO PurchaseOrder (PO, Status, ShipToLocation) VALUES (1, 'Open', "
       "'RVL - MS')");
  sqlite3_stmt* map = nullptr;
  sqlite3_stmt* stock = nullptr;
  sqlite3_stmt* line = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, "
                     "CustomerPartNumber2, CustomerPartNumber3) VALUES (?, 645, ?, ?, '')",
                     -1, &map, nullptr);
  sqlite3_prepare_v2(db,
                     "INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor) "
                     "VALUES (?, 'RVL - MS', ?, ?)",
                     -1, &stock, nullptr);
  sqlite3_prepare_v2(db,
                     "INSERT INTO PurchaseOrderItems (PO, Item, Quantity, Received, DueDate2) "
                     "VALUES (1, ?, ?, ?, ?)",
                     -1, &line, nullptr);
  for (int item = 1; item <= kMappings; ++item) {
    char part1[32], part2[32];
    std::snprintf(part1, sizeof part1, "PN%06d", item / 5);
    std::snprintf(part2, sizeof part2, "C%d", item % 5);
    sqlite3_bind_int(map, 1, item);
    sqlite3_bind_text(map, 2, part1, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(map, 3, part2, -1, SQLITE_TRANSIENT);
    sqlite3_step(map);
    sqlite3_reset(map);

    sqlite3_bind_int(stock, 1, item);
    sqlite3_bind_double(stock, 2, 100.5 + item % 300);
    sqlite3_bind_double(stock, 3, item % 4 == 0 ? 500.25 : 20);
    sqlite3_step(stock);
    sqlite3_reset(stock);

    for (int l = 0; l < kLinesPerItem; ++l) {
      char due[16];
      std::snprintf(due, sizeof due, "2027-%02d-%02d", 1 + (item + l) % 12, 1 + item % 28);
      sqlite3_bind_int(line, 1, item);
      sqlite3_bind_double(line, 2, 150 + (item * 7 + l * 13) % 400);
      sqlite3_bind_double(line, 3, l == 0 ? 0 : 25.5);
      sqlite3_bind_text(line, 4, due, -1, SQLITE_TRANSIENT);
      sqlite3_step(line);
      sqlite3_reset(line);
    }
  }
  sqlite3_finalize(map);
  sqlite3_finalize(stock);
  sqlite3_finalize(line);
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

class Catalogue {
 public:
  Catalogue() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("saldor-reports-bench-" + std::to_string(random()));
    std::filesystem::create_directories(folder_ / "temp");
    Populate(folder_ / "business.db");
    db_ = Database::Open("Driver=SQLite3;Database=" + (folder_ / "business.db").string() + ";", 10);
  }
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;
  ~Catalogue() {
    db_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  Database& db() { return *db_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<Database> db_;
};

void BM_ExportAvailableInventory(benchmark::State& state) {
  Catalogue catalogue;
  Settings settings;
  settings.ftpHost = "localhost";
  Screen screen;
  RunContext context{catalogue.db(), catalogue.folder(), settings, screen, SystemClock()};
  const std::int64_t queryRows = static_cast<std::int64_t>(kMappings) * kLinesPerItem;

  for (auto _ : state) {
    ExportAvailableInventory(context);
  }
  const std::string records = catalogue.db()
                                  .Query(Sql{"SELECT COUNT(*) AS N FROM tmpSaldorAvailInv",
                                             "SELECT COUNT(*) AS N FROM tmpSaldorAvailInv"})
                                  .At(0, 0)
                                  .TextOr("0");
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(queryRows),
                                                benchmark::Counter::kIsIterationInvariantRate);
  state.counters["records"] = std::stod(records);
  state.SetItemsProcessed(state.iterations() * queryRows);
}
BENCHMARK(BM_ExportAvailableInventory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The catalogue of Populate in T-SQL, made on the server itself.
const char* const kTsqlCatalogue = R"sql(
INSERT INTO PurchaseOrder (PO, Status, ShipToLocation) VALUES (1, 'Open', 'RVL - MS');
WITH Digit (n) AS (SELECT n FROM (VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)) AS d (n)),
  Number (i) AS (SELECT 1 + a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n
                 FROM Digit a CROSS JOIN Digit b CROSS JOIN Digit c CROSS JOIN Digit d
                 CROSS JOIN Digit e WHERE e.n < 5)
SELECT i INTO #Numbers FROM Number;
INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1,
                                    CustomerPartNumber2, CustomerPartNumber3)
  SELECT i, 645, 'PN' + RIGHT('000000' + CAST(i / 5 AS varchar(10)), 6),
         'C' + CAST(i % 5 AS varchar(1)), '' FROM #Numbers;
INSERT INTO ItemLocation (Item, Location, Quantity, SpokenFor)
  SELECT i, 'RVL - MS', 100.5 + i % 300, CASE WHEN i % 4 = 0 THEN 500.25 ELSE 20 END
  FROM #Numbers;
INSERT INTO PurchaseOrderItems (PO, Item, Quantity, Received, DueDate2)
  SELECT 1, i, 150 + (i * 7 + l * 13) % 400, CASE WHEN l = 0 THEN 0 ELSE 25.5 END,
         DATEFROMPARTS(2027, 1 + (i + l) % 12, 1 + i % 28)
  FROM #Numbers CROSS JOIN (VALUES (0), (1)) AS Line (l);
DROP TABLE #Numbers;
)sql";

// The requests of one export, by the statement that sent them.
const std::vector<bench::RequestKind> kRequestKinds = {
    {"work_table_rows", "INTO tmpSaldorAvailInv"},
    {"work_table_clear", "DELETE FROM tmpSaldorAvailInv"},
    {"snapshot", "FROM tmpSaldorAvailInv"},
    {"query", "ItemLocation"},
    {"json_probe", "OPENJSON(N'"},
};

// The export on a database of its own on the T-SQL server. When `counting`, with FreeTDS's
// packet log, whose requests are counted by kind: that runs once and last, for the log stays open
// for every later connection of the process.
void ExportOnSqlServer(benchmark::State& state, bool counting) {
  const std::optional<std::string> server = testing::RunsTsqlServer();
  if (!server) {
    state.SkipWithError(bench::kNoTsqlServer);
    return;
  }
  bench::TsqlDatabase database(*server, kTsqlCatalogue);
  std::random_device random;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("saldor-reports-bench-" + std::to_string(random()));
  std::filesystem::create_directories(folder / "temp");
  const std::filesystem::path dump = folder / "freetds.log";
  Settings settings;
  Screen screen;
  const std::int64_t queryRows = static_cast<std::int64_t>(kMappings) * kLinesPerItem;
  {
    auto db = Database::Open(
        database.ConnectionString(counting ? "DumpFile=" + dump.string() + ";" : ""), 10, 300);
    RunContext context{*db, folder, settings, screen, SystemClock()};
    for (auto _ : state) ExportAvailableInventory(context);
  }
  if (counting) {
    int total = 0;
    for (const auto& [kind, requests] : bench::CountRequests(dump, kRequestKinds)) {
      state.counters["req_" + kind] = requests;
      total += requests;
    }
    state.counters["requests"] = total;
  } else {
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(queryRows),
                                                  benchmark::Counter::kIsIterationInvariantRate);
  }
  // Read after the count above, which the packet log would count too.
  state.counters["records"] = database.db()
                                  .Query(Sql{"SELECT COUNT(*) AS N FROM tmpSaldorAvailInv", ""})
                                  .At(0, 0)
                                  .AsNumber("N");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

void BM_ExportAvailableInventorySqlServer(benchmark::State& state) {
  ExportOnSqlServer(state, false);
}
void BM_ExportAvailableInventorySqlServerRequests(benchmark::State& state) {
  ExportOnSqlServer(state, true);
}
BENCHMARK(BM_ExportAvailableInventorySqlServer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportAvailableInventorySqlServerRequests)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace saldor

BENCHMARK_MAIN();
