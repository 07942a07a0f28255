#include "support/test_database.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "app/run_error.h"
#include "support/process.h"

namespace saldor::testing {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Whether `statement` so far is a CREATE TRIGGER whose body has not reached its END.
bool InsideTrigger(const std::string& statement) {
  std::string text = Upper(statement);
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || text.compare(start, 14, "CREATE TRIGGER") != 0) return false;
  std::size_t end = text.find_last_not_of(" \t\r\n");
  return end < 3 || text.compare(end - 2, 3, "END") != 0;
}

// A field as SQLite itself shows it as text: a floating value with 15 significant digits and
// ".0" when it is whole, as the sqlite3 shell and sqlite3_column_text give it.
std::optional<std::string> SqliteText(const Field& field) {
  if (field.IsNull()) return std::nullopt;
  if (const double* number = std::get_if<double>(&field.value())) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", *number);
    std::string text = buffer;
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
  }
  return field.TextOr("");
}

// The statements of a SQL script: split at each ";" outside quotes and "--" comments (the driver
// prepares one statement at a time).
std::vector<std::string> Statements(const std::string& script) {
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
      if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
      current.clear();
      continue;
    }
    if (c == '\'' || c == '"') quote = quote == 0 ? c : quote == c ? 0 : quote;
    current += c;
  }
  if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
  return statements;
}

// `sql` (several statements allowed) on a connection of its own, as another client of the
// database would run it; the connection is closed again before this returns.
ResultSet RunOnOwnConnection(const std::string& connectionString, const std::string& sql,
                             bool query) {
  try {
    std::unique_ptr<Database> db = Database::Open(connectionString, 10);
    ResultSet result;
    if (query) {
      result = db->Query(Sql{sql, sql});
    } else {
      for (const std::string& statement : Statements(sql)) db->Execute(Sql{statement, statement});
    }
    db->Close();
    return result;
  } catch (const RunError& error) {
    throw std::runtime_error("SQLite: " + error.Report() + " in: " + sql.substr(0, 200));
  }
}

}  // namespace

std::filesystem::path SourcePath(const std::string& relative) {
  return std::filesystem::path(SALDOR_SOURCE_DIR) / relative;
}

TestDatabase::TestDatabase(bool withDemoData) : dir_("saldor-db") {
  // The SQLite driver creates the file on the first connection.
  file_ = dir_.path() / "business.db";
  Exec(ReadFile(SourcePath("db/sqlite/business.sql")));
  if (withDemoData) Exec(ReadFile(SourcePath("db/sqlite/demo.sql")));
}

std::string TestDatabase::connectionString() const {
  return "Driver=SQLite3;Database=" + HostPath(file_) + ";";
}

Database& TestDatabase::db() {
  if (!db_) db_ = Database::Open(connectionString(), 10);
  return *db_;
}

void TestDatabase::Exec(const std::string& sql) {
  RunOnOwnConnection(connectionString(), sql, /*query=*/false);
}

std::string TestDatabase::Scalar(const std::string& sql) {
  ResultSet result = RunOnOwnConnection(connectionString(), sql, /*query=*/true);
  return result.empty() || result.columns().empty() ? "" : SqliteText(result.At(0, 0)).value_or("");
}

std::vector<TestDatabase::Record> TestDatabase::Rows(const std::string& sql) {
  ResultSet result = RunOnOwnConnection(connectionString(), sql, /*query=*/true);
  std::vector<Record> rows;
  for (std::size_t row = 0; row < result.size(); ++row) {
    Record& record = rows.emplace_back();
    for (std::size_t column = 0; column < result.columns().size(); ++column) {
      record[result.columns()[column]] = SqliteText(result.At(row, column));
    }
  }
  return rows;
}

}  // namespace saldor::testing
