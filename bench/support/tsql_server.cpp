#include "support/tsql_server.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace saldor::bench {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Sql Same(const std::string& text) { return Sql{text, text}; }

// The handle an ODBC call line of the log names, the first "0x..." among its arguments:
// "odbc.c:3589:SQLExecute(0x5626...)" gives "0x5626..."; empty for any other line. Sets
// `*rest` to where the arguments after the handle begin.
std::string CallHandle(const std::string& line, std::size_t* rest) {
  std::size_t call = line.find(":SQL");
  if (call == std::string::npos) call = line.find(":_SQL");
  if (call == std::string::npos) return {};
  const std::size_t open = line.find('(', call);
  const std::size_t close = line.find(')', call);
  if (open == std::string::npos || close == std::string::npos) return {};
  const std::size_t start = line.find("0x", open);
  if (start == std::string::npos || start > close) return {};
  const std::size_t end = line.find_first_of(",)", start);
  *rest = end;
  return line.substr(start, end - start);
}

}  // namespace

std::optional<std::string> TsqlServerConnection() {
  const char* state = std::getenv("SALDOR_TSQL_STATE");
  const std::filesystem::path folder = state ? state : SALDOR_TSQL_STATE_DEFAULT;
  std::string text = ReadText(folder / "connection.txt");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.empty()) return std::nullopt;
  return text;
}

void RunBatches(Database& db, const std::string& script) {
  std::istringstream lines(script);
  std::string line, batch;
  auto run = [&] {
    if (batch.find_first_not_of(" \t\r\n") != std::string::npos) db.Execute(Same(batch));
    batch.clear();
  };
  while (std::getline(lines, line)) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    if (first != std::string::npos && line.substr(first, last - first + 1) == "GO") {
      run();
    } else {
      batch += line + "\n";
    }
  }
  run();
}

TsqlDatabase::TsqlDatabase(const std::string& serverConnection, const std::string& setupSql)
    : server_(serverConnection) {
  std::random_device random;
  name_ = "saldor_bench_" + std::to_string(random() % 1000000000);
  Database::Open(server_ + "PWD=QXV;", 10)->Execute(Same("CREATE DATABASE " + name_));
  db_ = Database::Open(ConnectionString(), 10, 300);
  RunBatches(*db_,
             ReadText(std::filesystem::path(SALDOR_SOURCE_DIR) / "db/sqlserver/business.sql"));
  RunBatches(*db_, setupSql);
}

TsqlDatabase::~TsqlDatabase() {
  try {
    db_.reset();
    Database::Open(server_ + "PWD=QXV;", 10)->Execute(Same("DROP DATABASE " + name_));
  } catch (...) {
    // The server goes away with its state folder; a database left on it does no harm.
  }
}

std::string TsqlDatabase::ConnectionString(const std::string& more) const {
  return server_ + "Database=" + name_ + ";PWD=QXV;" + more;
}

std::map<std::string, int> CountRequests(const std::filesystem::path& dumpFile,
                                         const std::vector<RequestKind>& kinds) {
  std::ifstream in(dumpFile);
  std::map<std::string, std::string> statements;  // handle -> the text it was prepared with
  std::map<std::string, int> counts;
  std::string line, current;
  bool sending = false;
  while (std::getline(in, line)) {
    if (sending) {
      sending = false;
      // "0000 03 01 ...": the packet's type, then its status; bit 0 marks a request's last.
      unsigned type = 0, status = 0;
      std::istringstream header(line);
      std::string offset;
      header >> offset >> std::hex >> type >> status;
      const bool login = type == 0x10 || type == 0x12;
      if (header && offset == "0000" && (status & 1) != 0 && !login) {
        const auto statement = statements.find(current);
        std::string kind = "connection";
        if (statement != statements.end()) {
          kind = "other";
          for (const RequestKind& k : kinds) {
            if (statement->second.find(k.second) != std::string::npos) {
              kind = k.first;
              break;
            }
          }
        }
        ++counts[kind];
      }
      continue;
    }
    if (line.find("Sending packet") != std::string::npos) {
      sending = true;
      continue;
    }
    std::size_t textStart = 0;
    const std::string handle = CallHandle(line, &textStart);
    if (handle.empty()) continue;
    current = handle;
    if (line.find(":SQLPrepare(") != std::string::npos ||
        line.find(":SQLExecDirect(") != std::string::npos) {
      statements[handle] = line.substr(textStart);
    }
  }
  return counts;
}

}  // namespace saldor::bench
