// saldor_rows: the test database's helpers for scripts that run the whole program
// (scripts/check_whole_runs.sh). Connection strings are without the password, as config.txt
// holds them.
//
//   saldor_rows create SERVER            creates a database with the business schema and the demo
//                                        data on the T-SQL server SERVER (a connection string
//                                        without a database) and prints its connection string
//   saldor_rows lines CONNECTION SQL     prints each row of SQL, its values as canonical texts
//                                        (see TestDatabase::Rows) joined by "|"
//   saldor_rows dump CONNECTION [--all]  prints every business table, its columns by name and its
//                                        rows by key, as canonical texts, so that the same rows
//                                        give the same lines on SQLite and on SQL Server. Left
//                                        out: the moments rows were written (Orders.DateAdded,
//                                        OrdersAudit.AuditDate), and unless --all, the tables
//                                        only SQL Server has (OrdersAudit).
//
// Exit status 0, or 1 with the failure on standard error.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/run_error.h"
#include "support/process.h"
#include "support/test_database.h"

namespace saldor::testing {
namespace {

struct Table {
  const char* name;
  const char* key;
  const char* leftOut;  // a column left out, or ""
  bool sqlServerOnly;
};

constexpr Table kTables[] = {
    {"Item", "ID", "", false},
    {"ItemCustomerPartNumber", "ID", "", false},
    {"ItemLocation", "ID", "", false},
    {"PurchaseOrder", "PO", "", false},
    {"PurchaseOrderItems", "ID", "", false},
    {"tmpSaldorAvailInv", "ID", "", false},
    {"Orders", "ID", "dateadded", false},
    {"OrderItems", "ID", "", false},
    {"Shipment", "ID", "", false},
    {"ShipmentItems", "ID", "", false},
    {"Invoice", "ID", "", false},
    {"OrdersAudit", "ID", "auditdate", true},
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

void Dump(const std::string& connection, bool all) {
  std::unique_ptr<Database> db = Database::Open(connection + "PWD=QXV;", 10);
  for (const Table& table : kTables) {
    if (table.sqlServerOnly && (!all || db->dialect() != Dialect::kSqlServer)) continue;
    const std::string sql = std::string("SELECT * FROM ") + table.name + " ORDER BY " + table.key;
    const ResultSet rows = db->Query(Sql{sql, sql});
    // The columns in the order of their names: the two schemas need not list them alike.
    std::vector<std::pair<std::string, std::size_t>> columns;
    for (std::size_t c = 0; c < rows.columns().size(); ++c) {
      if (Lower(rows.columns()[c]) != table.leftOut)
        columns.emplace_back(Lower(rows.columns()[c]), c);
    }
    std::sort(columns.begin(), columns.end());
    std::cout << "== " << table.name << ":";
    for (const auto& [name, index] : columns) std::cout << " " << name;
    std::cout << "\n";
    for (std::size_t row = 0; row < rows.size(); ++row) {
      std::string line;
      for (const auto& [name, index] : columns) {
        line += (line.empty() ? "" : "|") + CanonicalText(rows.At(row, index)).value_or("<null>");
      }
      std::cout << line << "\n";
    }
  }
  db->Close();
}

int Main(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "create") {
    const std::string connection = CreateSqlServerDatabase(args[1]);
    RunScript(connection, Backend::kSqlServer, ReadFile(SourcePath("db/sqlserver/business.sql")));
    RunScript(connection, Backend::kSqlServer, ReadFile(SourcePath("db/sqlserver/demo.sql")));
    std::cout << connection << "\n";
    return 0;
  }
  if (args.size() == 3 && args[0] == "lines") {
    for (const std::string& line : CanonicalLines(args[1], args[2])) std::cout << line << "\n";
    return 0;
  }
  if ((args.size() == 2 || (args.size() == 3 && args[2] == "--all")) && args[0] == "dump") {
    Dump(args[1], args.size() == 3);
    return 0;
  }
  std::cerr
      << "usage: saldor_rows create SERVER | lines CONNECTION SQL | dump CONNECTION [--all]\n";
  return 2;
}

}  // namespace
}  // namespace saldor::testing

int main(int argc, char** argv) {
  try {
    return saldor::testing::Main(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const saldor::RunError& error) {
    std::cerr << "saldor_rows: " << error.Report() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "saldor_rows: " << error.what() << "\n";
  }
  return 1;
}
