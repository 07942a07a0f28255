#include "support/test_database.h"

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/run_error.h"
#include "support/process.h"

namespace saldor::testing {
namespace {

// The password the program appends to every connection string.
constexpr const char* kPassword = "PWD=QXV;";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

// Whether `statement` so far is a CREATE TRIGGER whose body has not reached its END.
bool InsideTrigger(const std::string& statement) {
  std::string text = Upper(statement);
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || text.compare(start, 14, "CREATE TRIGGER") != 0) return false;
  std::size_t end = text.find_last_not_of(" \t\r\n");
  return end < 3 || text.compare(end - 2, 3, "END") != 0;
}

// The statements of a SQLite script: split at each ";" outside quotes and "--" comments (the
// driver prepares one statement at a time).
std::vector<std::string> SqliteStatements(const std::string& script) {
  std::vector<std::string> statements;
  std::string current;
  char quote = 0;
  for (std::size_t i = 0; i < script.size(); ++i) {
    char c = script[i];
    if (quote == 0 && c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
      while (i < script.size() && script[i] != '\n') ++i;
      current += '\n';
      continue;
    }
    if (quote == 0 && c == ';' && !InsideTrigger(current)) {
      if (!Trimmed(current).empty()) statements.push_back(current);
      current.clear();
      continue;
    }
    if (c == '\'' || c == '"') quote = quote == 0 ? c : quote == c ? 0 : quote;
    current += c;
  }
  if (!Trimmed(current).empty()) statements.push_back(current);
  return statements;
}

// The batches of a T-SQL script: split at each line that holds GO alone, as sqlcmd does.
std::vector<std::string> TsqlBatches(const std::string& script) {
  std::vector<std::string> batches;
  std::string current;
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    const std::string line = script.substr(start, end - start);
    if (Upper(Trimmed(line)) == "GO") {
      if (!Trimmed(current).empty()) batches.push_back(current);
      current.clear();
    } else {
      current += line + "\n";
    }
    start = end + 1;
  }
  if (!Trimmed(current).empty()) batches.push_back(current);
  return batches;
}

// A database name no other test of any run on the server has.
std::string UniqueDatabaseName() {
  static std::mt19937_64 random{
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  char name[32];
  std::snprintf(name, sizeof name, "saldor_%016llx", static_cast<unsigned long long>(random()));
  return name;
}

// Runs `run` on a connection of its own to `connectionString`, as another client of the
// database would; the connection is closed again before this returns. A RunError becomes a
// std::runtime_error naming `sql`.
template <typename Run>
auto OnOwnConnection(const std::string& connectionString, const std::string& sql, Run run) {
  try {
    std::unique_ptr<Database> db = Database::Open(connectionString + kPassword, 10);
    auto result = run(*db);
    db->Close();
    return result;
  } catch (const RunError& error) {
    throw std::runtime_error("test database: " + error.Report() + " in: " + sql.substr(0, 300));
  }
}

// Reads exactly `count` digits of `text` at `pos`; false when they are not all digits.
bool Digits(const std::string& text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return false;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

// "YYYY-MM-DD" alone, or followed by " HH:MM:SS" and a fraction: the date, and the time of day
// unless it is midnight, and the fraction unless it is 0. Any other text as it is.
std::string CanonicalDateText(const std::string& text) {
  if (!Digits(text, 0, 4) || text.compare(4, 1, "-") != 0 || !Digits(text, 5, 2) ||
      text.compare(7, 1, "-") != 0 || !Digits(text, 8, 2)) {
    return text;
  }
  if (text.size() == 10) return text;
  if ((text[10] != ' ' && text[10] != 'T') || !Digits(text, 11, 2) || text.compare(13, 1, ":") ||
      !Digits(text, 14, 2) || text.compare(16, 1, ":") || !Digits(text, 17, 2)) {
    return text;
  }
  std::string fraction;
  if (text.size() > 19) {
    if (text[19] != '.' || !Digits(text, 20, text.size() - 20)) return text;
    fraction = text.substr(19);
    while (fraction.back() == '0') fraction.pop_back();
    if (fraction == ".") fraction.clear();
  }
  const std::string time = text.substr(11, 8);
  if (time == "00:00:00" && fraction.empty()) return text.substr(0, 10);
  return text.substr(0, 10) + " " + time + fraction;
}

}  // namespace

std::string BackendName(Backend backend) {
  return backend == Backend::kSqlite ? "Sqlite" : "SqlServer";
}

std::filesystem::path SourcePath(const std::string& relative) {
  return std::filesystem::path(SALDOR_SOURCE_DIR) / relative;
}

std::optional<std::string> CanonicalText(const Field& field) {
  if (field.IsNull()) return std::nullopt;
  if (const auto* text = std::get_if<std::string>(&field.value())) {
    return CanonicalDateText(*text);
  }
  return field.TextOr("");
}

std::optional<std::string> RunsTsqlServer() {
  std::string server =
      Trimmed(ReadFile(std::filesystem::path(SALDOR_TSQL_STATE_DIR) / "connection.txt"));
  if (server.empty()) return std::nullopt;
  return server;
}

std::string CreateSqlServerDatabase(const std::string& server) {
  const std::string name = UniqueDatabaseName();
  OnOwnConnection(server, "CREATE DATABASE", [&](Database& db) {
    // Babelfish refuses a CREATE DATABASE that meets another session's ("tuple concurrently
    // updated", 33557097) where SQL Server would wait; tests that start together then try again.
    for (int attempt = 1;; ++attempt) {
      try {
        db.Execute(Sql{"CREATE DATABASE " + name, ""});
        return 0;
      } catch (const RunError& error) {
        if (attempt == 10 || error.description().find("concurrently") == std::string::npos) throw;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
    }
  });
  return server + "Database=" + name + ";";
}

void RunScript(const std::string& connectionString, Backend backend, const std::string& sql) {
  OnOwnConnection(connectionString, sql, [&](Database& db) {
    const bool sqlite = backend == Backend::kSqlite;
    for (const std::string& part : sqlite ? SqliteStatements(sql) : TsqlBatches(sql)) {
      db.Execute(Sql{part, part});
    }
    return 0;
  });
}

std::vector<std::string> CanonicalLines(const std::string& connectionString,
                                        const std::string& sql) {
  const ResultSet result = OnOwnConnection(connectionString, sql, [&](Database& db) {
    return db.Query(Sql{sql, sql});
  });
  std::vector<std::string> lines;
  for (std::size_t row = 0; row < result.size(); ++row) {
    std::string& line = lines.emplace_back();
    for (std::size_t column = 0; column < result.columns().size(); ++column) {
      line += (column > 0 ? "|" : "") + CanonicalText(result.At(row, column)).value_or("<null>");
    }
  }
  return lines;
}

TestDatabase::TestDatabase(Backend backend, bool withDemoData) : backend_(backend) {
  if (backend_ == Backend::kSqlServer) {
    if (const std::optional<std::string> server = RunsTsqlServer()) {
      connection_ = CreateSqlServerDatabase(*server);
    } else {
      const char* babelfish = std::getenv("SALDOR_BABELFISH");
      if (babelfish != nullptr && *babelfish != '\0') {
        [] { FAIL() << "SALDOR_BABELFISH is set, but this run's T-SQL server is not running"; }();
      } else {
        [] {
          GTEST_SKIP() << "no T-SQL server: set SALDOR_BABELFISH to run the SQL Server tests";
        }();
      }
      backend_ = Backend::kSqlite;  // a stand-in, for a fixture whose test does not run
    }
  }
  const std::string folder = backend_ == Backend::kSqlite ? "sqlite" : "sqlserver";
  if (backend_ == Backend::kSqlite) {
    // The SQLite driver creates the file on the first connection.
    dir_ = std::make_unique<TempDir>("saldor-db");
    connection_ = "Driver=SQLite3;Database=" + HostPath(dir_->path() / "business.db") + ";";
  }
  Exec(ReadFile(SourcePath("db/" + folder + "/business.sql")));
  if (withDemoData) Exec(ReadFile(SourcePath("db/" + folder + "/demo.sql")));
}

TestDatabase::~TestDatabase() = default;

Database& TestDatabase::db() {
  if (!db_) db_ = Open();
  return *db_;
}

std::unique_ptr<Database> TestDatabase::Open(int statementTimeoutSeconds) const {
  return Database::Open(connection_ + kPassword, 10, statementTimeoutSeconds);
}

void TestDatabase::Exec(const std::string& sql) { RunScript(connection_, backend_, sql); }

std::string TestDatabase::WithKeys(const std::string& table, const std::string& insert) const {
  if (backend_ == Backend::kSqlite) return insert;
  return "SET IDENTITY_INSERT " + table + " ON;\n" + insert + ";\nSET IDENTITY_INSERT " + table +
         " OFF";
}

ResultSet TestDatabase::Query(const std::string& sql) {
  return OnOwnConnection(connection_, sql, [&](Database& db) { return db.Query(Sql{sql, sql}); });
}

std::vector<TestDatabase::Record> TestDatabase::Rows(const std::string& sql) {
  const ResultSet result = Query(sql);
  std::vector<Record> rows;
  for (std::size_t row = 0; row < result.size(); ++row) {
    Record& record = rows.emplace_back();
    for (std::size_t column = 0; column < result.columns().size(); ++column) {
      record[result.columns()[column]] = CanonicalText(result.At(row, column));
    }
  }
  return rows;
}

std::vector<std::string> TestDatabase::Lines(const std::string& sql) {
  return CanonicalLines(connection_, sql);
}

std::string TestDatabase::Scalar(const std::string& sql) {
  const ResultSet result = Query(sql);
  if (result.empty() || result.columns().empty()) return "";
  return CanonicalText(result.At(0, 0)).value_or("<null>");
}

}  // namespace saldor::testing
