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

// "INSERT INTO <table> (<c1>,...,<cn>) VALUES " and the "(?,...,?)" of one record.
struct InsertPieces {
  std::string head;
  std::string record;
};

InsertPieces Pieces(std::string_view table, std::span<const std::string_view> columns) {
  InsertPieces pieces{"INSERT INTO " + std::string(table) + " (", "("};
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) {
      pieces.head += ",";
      pieces.record += ",";
    }
    pieces.head += columns[i];
    pieces.record += "?";
  }
  pieces.head += ") VALUES ";
  pieces.record += ")";
  return pieces;
}

}  // namespace

Sql InsertSql(std::string_view table, std::span<const std::string_view> columns, std::size_t rows) {
  const InsertPieces pieces = Pieces(table, columns);
  std::string text = pieces.head;
  text.reserve(text.size() + rows * (pieces.record.size() + 1));
  for (std::size_t row = 0; row < rows; ++row) {
    if (row > 0) text += ",";
    text += pieces.record;
  }
  return Sql{text, text};
}

Sql InsertReturningKeySql(std::string_view table, std::span<const std::string_view> columns,
                          std::size_t rows) {
  const InsertPieces pieces = Pieces(table, columns);
  const std::string insert = pieces.head + pieces.record;
  if (rows <= 1) {
    return Sql{"SET NOCOUNT ON; " + insert + "; SELECT CAST(SCOPE_IDENTITY() AS BIGINT) AS ID",
               insert};
  }
  // The keys are gathered in a table variable, numbered in record order, and read back at the
  // end: the batch's final result, which follows any rows a trigger returned.
  std::string text = "SET NOCOUNT ON; DECLARE @Keys TABLE (N int PRIMARY KEY, ID bigint);";
  for (std::size_t row = 1; row <= rows; ++row) {
    text += " " + insert + "; INSERT INTO @Keys (N, ID) VALUES (" + std::to_string(row) +
            ", SCOPE_IDENTITY());";
  }
  text += " SELECT ID FROM @Keys ORDER BY N";
  return Sql{text, insert};
}

Sql JsonInsertSql(std::string_view table, std::span<const std::string_view> columns,
                  std::span<const std::string> types, const std::vector<bool>& markers,
                  std::size_t records, bool returnKeys) {
  // Each record's number N comes first in the document, then its values as C1, C2, ...; the
  // marker columns come as M.C1, M.C2, ... from a list of values numbered the same way.
  std::string names = "N", withTypes = "N int '$[0]'", declared = "N int PRIMARY KEY";
  std::string selected = "J.N", targets, markerNames = "N", markerRow;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string name = "C" + std::to_string(i + 1);
    names += "," + name;
    declared += "," + name + " " + types[i];
    targets += (i > 0 ? "," : "") + std::string(columns[i]);
    if (markers[i]) {
      selected += ",M." + name;
      markerNames += "," + name;
      markerRow += ",?";
    } else {
      selected += ",J." + name;
      withTypes += "," + name + " " + types[i] + " '$[" + std::to_string(i + 1) + "]'";
    }
  }
  std::string source = "OPENJSON(?) WITH (" + withTypes + ") AS J";
  if (!markerRow.empty()) {
    source += " JOIN (VALUES ";
    for (std::size_t record = 0; record < records; ++record) {
      source += (record > 0 ? ",(" : "(") + std::to_string(record) + markerRow + ")";
    }
    source += ") AS M (" + markerNames + ") ON M.N=J.N";
  }
  const std::string into = "INSERT INTO " + std::string(table) + " (" + targets + ") SELECT ";
  if (!returnKeys) {
    return Sql{into + selected.substr(selected.find(',') + 1) + " FROM " + source + " ORDER BY J.N",
               ""};
  }
  return Sql{"SET NOCOUNT ON; DECLARE @Records TABLE (" + declared + "); INSERT INTO @Records (" +
                 names + ") SELECT " + selected + " FROM " + source +
                 "; DECLARE @Keys TABLE (N int PRIMARY KEY, ID bigint); DECLARE @N int = 0;"
                 " DECLARE @Count int = (SELECT COUNT(*) FROM @Records); WHILE @N < @Count BEGIN " +
                 into + names.substr(names.find(',') + 1) +
                 " FROM @Records WHERE N = @N;"
                 " INSERT INTO @Keys (N, ID) VALUES (@N, SCOPE_IDENTITY()); SET @N = @N + 1; END;"
                 " SELECT ID FROM @Keys ORDER BY N",
             ""};
}

}  // namespace saldor
