// The order import of a 10,050-line file of 335 orders into a fresh business database, through
// the real ImportOrderFile and ODBC: on SQLite, beside a bare loop that runs the statements of a
// row-at-a-time import with the same values straight through the SQLite C library; and on SQL
// Server when a T-SQL server is at hand (see support/tsql_server.h), where it also counts the
// requests sent to the server. Each reports lines per second.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/csv_reader.h"
#include "import/import_order_file.h"
#include "import/order_file_row.h"
#include "import/order_header.h"
#include "import/order_line.h"
#include "support/test_database.h"
#include "support/tsql_server.h"

namespace saldor {
namespace {

constexpr int kOrders = 335;
constexpr int kLinesPerOrder = 30;
constexpr int kRows = kOrders * kLinesPerOrder;
constexpr int kItems = 40;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
  }
}

// A benchmark folder with the order file and the schema text, made once.
struct Fixture {
  std::filesystem::path folder;
  std::string fileText;
  std::string schema;
  std::string items;     // the items, one INSERT
  std::string mappings;  // their partner part numbers, one INSERT
  Date runDate{2027, 3, 15};

  Fixture() {
    std::random_device random;
    folder = std::filesystem::temp_directory_path() /
             ("saldor-import-bench-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    schema = ReadText(std::filesystem::path(SALDOR_SOURCE_DIR) / "db/sqlite/business.sql");
    items =
        "INSERT INTO Item (ID, Name, Category, Weight, VendorPartNumber, LandedCost, "
        "YardsPerRoll, Inactive) VALUES ";
    for (int i = 1; i <= kItems; ++i) {
      const std::string n = std::to_string(i);
      items += (i > 1 ? "," : "") + std::string("(") + n + ", 'Fabric " + n + "', 'CANVAS', 0." +
               n + ", 'VN-" + n + "', " + n + ".25, 60, 0)";
    }
    mappings =
        "INSERT INTO ItemCustomerPartNumber (ItemID, CustomerID, CustomerPartNumber1, "
        "CustomerPartNumber2) VALUES ";
    for (int i = 1; i <= kItems; ++i) {
      mappings += (i > 1 ? "," : "") + std::string("(") + std::to_string(i) + ", 645, 'P" +
                  std::to_string(i) + "', 'C" + std::to_string(i % 7) + "')";
    }
    schema += items + ";" + mappings + ";";

    std::string text =
        "OrderNo,Line,c3,c4,c5,c6,ShipTo,Addr1,Addr2,City,State,Zip,c13,Bill1,"
        "Bill2,BillCity,BillState,BillZip,VendorText,c20,Part,c22,Qty,c24,Price,"
        "c26,Memo1,c28,c29,c30,c31,c32,c33,c34,Memo2\r\n";
    for (int row = 0; row < kRows; ++row) {
      const int order = row / kLinesPerOrder;
      const int line = row % kLinesPerOrder + 1;
      const int item = row % (kItems + 4) + 1;  // a few part numbers match no item
      text += "45" + std::to_string(100000 + order) + "," + std::to_string(line) +
              ",,,,x,\"O'Neil Textiles, Inc\",12 Mill Rd,,Fall River,MA,2720,,PO Box 1,,"
              "Boston,MA,02101,VN*" +
              std::to_string(item) + ",,P" + std::to_string(item) + ".C" +
              std::to_string(item % 7) + ".W58,," + std::to_string(line * 5) + ".5,,3.75,," +
              "Ship complete,,,,,,,,Dock 4\r\n";
    }
    fileText = text;
    std::ofstream(folder / ("Saldor_to_vendor_" + FormatDdMmmYyyy(runDate) + ".csv"),
                  std::ios::binary)
        << text;
  }
  ~Fixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // A fresh business database file with the schema and items; gives its path.
  std::filesystem::path FreshDatabase() const {
    const std::filesystem::path file = folder / "business.db";
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    Check(sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr), db, "schema");
    sqlite3_close(db);
    return file;
  }

  // The items and their part numbers as T-SQL batches, the items' keys as given.
  std::string TsqlSetup() const {
    return "SET IDENTITY_INSERT Item ON;\n" + items + ";\nSET IDENTITY_INSERT Item OFF;\n" +
           mappings + ";\n";
  }

  TimePoint RunMoment() const {
    std::tm tm{};
    tm.tm_year = runDate.year - 1900;
    tm.tm_mon = runDate.month - 1;
    tm.tm_mday = runDate.day;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
  }
};

const Fixture& TheFixture() {
  static const Fixture fixture;
  return fixture;
}

void BM_ImportOrderFile(benchmark::State& state) {
  const Fixture& fixture = TheFixture();
  Settings settings;
  Screen screen;
  for (auto _ : state) {
    state.PauseTiming();
    const std::filesystem::path file = fixture.FreshDatabase();
    auto db = Database::Open("Driver=SQLite3;Database=" + file.string() + ";", 10);
    RunContext context{*db, fixture.folder, settings, screen, [&] { return fixture.RunMoment(); }};
    state.ResumeTiming();
    ImportOrderFile(context);
    state.PauseTiming();
    if (db->Query(Sql{"", "SELECT COUNT(*) AS N FROM OrderItems"}).Get(0, "N").AsText("N") !=
        std::to_string(kRows)) {
      state.SkipWithError("the import did not write every line");
    }
    db.reset();
    state.ResumeTiming();
  }
  state.counters["lines_per_second"] =
      benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}

// The requests of one import, by the statement that sent them.
const std::vector<bench::RequestKind> kRequestKinds = {
    {"lines", "INTO OrderItems"},    {"headers", "INTO Orders"},
    {"totals", "UPDATE Orders"},     {"item_lookups", "ItemCustomerPartNumber"},
    {"order_checks", "FROM Orders"}, {"json_probe", "OPENJSON(N'"},
};

// The import into a database of its own on the T-SQL server, emptied before each iteration. The
// connection has served one import before the timed ones, as a run's exports use it before its
// import: the T-SQL server of the tests reads what it knows of a table anew on each connection,
// at the table's first use there (about 0.2 s for the import's tables). When `counting`, with
// FreeTDS's packet log, whose requests are counted by kind: that runs once and last, for the log
// stays open for every later connection of the process.
void ImportOnSqlServer(benchmark::State& state, bool counting) {
  const std::optional<std::string> server = testing::RunsTsqlServer();
  if (!server) {
    state.SkipWithError(bench::kNoTsqlServer);
    return;
  }
  const Fixture& fixture = TheFixture();
  bench::TsqlDatabase database(*server, fixture.TsqlSetup());
  const Sql empty{"TRUNCATE TABLE OrderItems; TRUNCATE TABLE Orders; TRUNCATE TABLE OrdersAudit",
                  ""};
  const Sql count{"SELECT COUNT(*) AS N FROM OrderItems", ""};
  const std::filesystem::path dump = fixture.folder / "freetds.log";
  Settings settings;
  Screen screen;
  auto db = Database::Open(database.ConnectionString(), 10);
  RunContext context{*db, fixture.folder, settings, screen, [&] { return fixture.RunMoment(); }};
  ImportOrderFile(context);
  if (counting) {
    // The packet log counts every statement of the process from here on: nothing but the import.
    database.db().Execute(empty);
    db = Database::Open(database.ConnectionString("DumpFile=" + dump.string() + ";"), 10);
  }
  RunContext timed{*db, fixture.folder, settings, screen, [&] { return fixture.RunMoment(); }};
  for (auto _ : state) {
    if (!counting) {
      state.PauseTiming();
      database.db().Execute(empty);
      state.ResumeTiming();
    }
    ImportOrderFile(timed);
    if (!counting) {
      state.PauseTiming();
      if (database.db().Query(count).At(0, 0).AsText("N") != std::to_string(kRows)) {
        state.SkipWithError("the import did not write every line");
      }
      state.ResumeTiming();
    }
  }
  db.reset();
  if (!counting) {
    state.counters["lines_per_second"] = benchmark::Counter(
        static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
    return;
  }
  int total = 0;
  for (const auto& [kind, requests] : bench::CountRequests(dump, kRequestKinds)) {
    state.counters["req_" + kind] = requests;
    total += requests;
  }
  state.counters["requests"] = total;
  state.counters["requests_per_line"] = static_cast<double>(total) / kRows;
}

void BM_ImportOrderFileSqlServer(benchmark::State& state) { ImportOnSqlServer(state, false); }
void BM_ImportOrderFileSqlServerRequests(benchmark::State& state) {
  ImportOnSqlServer(state, true);
}

// A row-at-a-time import, straight through SQLite, on rows read and cleaned beforehand: for each
// row the lookup of its item and the insert of its line, for each order the insert of its header
// and the update of its totals.
constexpr const char* kBareLookup =
    "SELECT Item.* FROM Item LEFT JOIN ItemCustomerPartNumber ON "
    "Item.ID=ItemCustomerPartNumber.ItemID WHERE IFNULL(Item.Inactive,0)=0 AND "
    "ItemCustomerPartNumber.CustomerPartNumber1=? AND "
    "ItemCustomerPartNumber.CustomerPartNumber2=? LIMIT 1";
constexpr const char* kBareTotals = "UPDATE Orders SET SubTotal=?,Total=?,TotalCost=? WHERE ID=?";

void BM_BareSqliteLoop(benchmark::State& state) {
  const Fixture& fixture = TheFixture();
  std::vector<OrderFileRow> rows;
  CsvReader reader(fixture.fileText, "bench.csv");
  std::vector<std::string> fields;
  reader.Next(fields);
  while (reader.Next(fields)) rows.push_back(ReadOrderFileRow(fields));
  const std::string orderDate = FormatIso(AddDays(fixture.runDate, 1));

  for (auto _ : state) {
    state.PauseTiming();
    const std::filesystem::path file = fixture.FreshDatabase();
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    state.ResumeTiming();

    sqlite3_stmt* lookup = nullptr;
    sqlite3_stmt* header = nullptr;
    sqlite3_stmt* line = nullptr;
    sqlite3_stmt* totals = nullptr;
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    Check(sqlite3_prepare_v2(db, kBareLookup, -1, &lookup, nullptr), db, "l");
    Check(sqlite3_prepare_v2(db, InsertSql("Orders", kOrderHeaderColumns).sqlite.c_str(), -1,
                             &header, nullptr),
          db, "h");
    Check(sqlite3_prepare_v2(db, InsertSql("OrderItems", kOrderLineColumns).sqlite.c_str(), -1,
                             &line, nullptr),
          db, "i");
    Check(sqlite3_prepare_v2(db, kBareTotals, -1, &totals, nullptr), db, "t");
    auto text = [](sqlite3_stmt* s, int i, const std::string& v) {
      sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    };
    sqlite3_int64 orderId = 0;
    double subTotal = 0, cost = 0;
    auto rollUp = [&] {
      sqlite3_bind_double(totals, 1, subTotal);
      sqlite3_bind_double(totals, 2, subTotal);
      sqlite3_bind_double(totals, 3, cost);
      sqlite3_bind_int64(totals, 4, orderId);
      Check(sqlite3_step(totals), db, "roll-up");
      sqlite3_reset(totals);
    };
    for (const OrderFileRow& row : rows) {
      const std::string& part = row.ColCustomerPartNo;
      const std::size_t dot = part.find('.');
      text(lookup, 1, part.substr(0, dot));
      text(lookup, 2, part.substr(dot + 1, part.find('.', dot + 1) - dot - 1));
      std::string item = "3833", weight = "0", landed = "0";
      if (sqlite3_step(lookup) == SQLITE_ROW) {
        item = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
        weight = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 3));
        landed = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 5));
      }
      sqlite3_reset(lookup);
      if (row.ColLineNo == "1") {
        if (orderId != 0) rollUp();
        const std::string values[] = {row.ColOrderNo, row.ColShipToName, row.ColShipToZip,
                                      row.ColMemo1 + "\r\n" + row.ColMemo2};
        for (int i = 1; i <= 65; ++i) text(header, i, values[i % 4]);
        text(header, 3, orderDate);
        Check(sqlite3_step(header), db, "header");
        sqlite3_reset(header);
        orderId = sqlite3_last_insert_rowid(db);
        subTotal = cost = 0;
      }
      const double quantity = std::stod(row.ColQuantity);
      const double price = std::stod(row.ColPriceEach);
      for (int i = 1; i <= 18; ++i) text(line, i, row.ColQuantity);
      sqlite3_bind_int64(line, 1, orderId);
      text(line, 3, item);
      sqlite3_bind_double(line, 9, price * quantity);
      sqlite3_bind_double(line, 11, quantity * std::stod(weight));
      sqlite3_bind_double(line, 15, std::stod(landed) * quantity);
      sqlite3_bind_null(line, 17);
      Check(sqlite3_step(line), db, "line");
      sqlite3_reset(line);
      subTotal += price * quantity;
      cost += std::stod(landed) * quantity;
    }
    if (orderId != 0) rollUp();
    for (sqlite3_stmt* s : {lookup, header, line, totals}) sqlite3_finalize(s);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");

    state.PauseTiming();
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.counters["lines_per_second"] =
      benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ImportOrderFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareSqliteLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportOrderFileSqlServer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportOrderFileSqlServerRequests)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace saldor

BENCHMARK_MAIN();
