#include "support/tsql_server.h"

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_database.h"

namespace saldor::bench {
namespace {

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

TsqlDatabase::TsqlDatabase(const std::string& serverConnection, const std::string& setupSql)
    : connection_(testing::CreateSqlServerDatabase(serverConnection)) {
  testing::RunScript(
      connection_, testing::Backend::kSqlServer,
      testing::ReadFile(testing::SourcePath("db/sqlserver/business.sql")) + "\nGO\n" + setupSql);
  db_ = Database::Open(ConnectionString(), 10, 300);
}

std::string TsqlDatabase::ConnectionString(const std::string& more) const {
  return connection_ + "PWD=QXV;" + more;
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
