#include "app/sql_text.h"

#include <cctype>

namespace saldor {

std::optional<Dialect> DialectOfDbms(std::string_view dbmsName) {
  std::string lower(dbmsName);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find("sql server") != std::string::npos) return Dialect::kSqlServer;
  if (lower.find("sqlite") != std::string::npos) return Dialect::kSqlite;
  return std::nullopt;
}

namespace {

std::string InsertText(std::string_view table, std::span<const std::string_view> columns) {
  std::string text = "INSERT INTO " + std::string(table) + " (";
  std::string markers;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) {
      text += ",";
      markers += ",";
    }
    text += columns[i];
    markers += "?";
  }
  return text + ") VALUES (" + markers + ")";
}

}  // namespace

Sql InsertSql(std::string_view table, std::span<const std::string_view> columns) {
  std::string text = InsertText(table, columns);
  return Sql{text, text};
}

Sql InsertReturningKeySql(std::string_view table, std::span<const std::string_view> columns) {
  std::string text = InsertText(table, columns);
  return Sql{"SET NOCOUNT ON; " + text + "; SELECT CAST(SCOPE_IDENTITY() AS BIGINT) AS ID", text};
}

}  // namespace saldor
