#include "reports/export_report.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <system_error>
#include <vector>

#include "app/dates.h"
#include "app/numbers.h"
#include "app/part_file.h"
#include "app/run_error.h"
#include "app/text.h"
#include "reports/stored_date.h"

namespace saldor {
namespace {

// Creates the folder of the output file when it is missing. Only this one level is created.
void EnsureFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directory(folder, error);
  if (error) {
    throw SystemError(error, "Cannot create the folder",
                      {"creating the folder " + PathText(folder)}, folder);
  }
}

std::string WholeNumberText(double value) {
  if (value == std::trunc(value) && std::fabs(value) < 9.2e18) {
    return std::to_string(static_cast<long long>(value));
  }
  return NumberText(value);
}

std::string TwoDecimalsText(double value) {
  if (value == 0) value = 0;  // no "-0.00"
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr);
}

// The text of one field of one row in the file, without quotes.
std::string FieldText(const Field& field, const TemplateField& column) {
  if (field.IsNull()) return {};
  switch (column.format) {
    case FieldFormat::kText:
      return field.AsText(column.name);
    case FieldFormat::kWholeNumber:
      return WholeNumberText(field.AsNumber(column.name));
    case FieldFormat::kTwoDecimals:
      return TwoDecimalsText(field.AsNumber(column.name));
    case FieldFormat::kDate: {
      const std::string text = field.AsText(column.name);
      const std::optional<DateTime> moment = ParseStoredDate(text);
      if (!moment) {
        throw TypeMismatchError({"field: " + std::string(column.name), "value: \"" + text + "\""});
      }
      return FormatMmDdYyyy(moment->date);
    }
  }
  return {};
}

// The failure to write `file`, with errno's code when there is one.
RunError WriteError(const std::filesystem::path& file) {
  std::error_code error;
  if (errno != 0) error = std::error_code(errno, std::generic_category());
  return SystemError(error, "Cannot write the file", {"writing the file " + PathText(file)}, file);
}

// Writes the whole file at `file`; throws on any failure.
void WriteFile(const ReportTemplate& report, const ResultSet& rows,
               const std::filesystem::path& file) {
  std::vector<std::size_t> columns;
  columns.reserve(report.fields.size());
  for (const TemplateField& field : report.fields) {
    columns.push_back(rows.ColumnIndex(field.name));
  }

  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw WriteError(file);

  std::string line;
  if (report.headingLine) {
    for (std::size_t f = 0; f < report.fields.size(); ++f) {
      if (f > 0) line += ',';
      line += CsvField(report.fields[f].name);
    }
    line += "\r\n";
    out << line;
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    line.clear();
    for (std::size_t f = 0; f < report.fields.size(); ++f) {
      if (f > 0) line += ',';
      try {
        line += CsvField(FieldText(rows.At(row, columns[f]), report.fields[f]));
      } catch (RunError& error) {
        error.AddContext("row " + std::to_string(row + 1) + " of " + std::string(report.name));
        throw;
      }
    }
    line += "\r\n";
    out << line;
    if (!out) throw WriteError(file);
  }
  out.close();
  if (!out) throw WriteError(file);
}

}  // namespace

std::string CsvField(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

void ExportReport(const ReportTemplate& report, const ResultSet& rows,
                  const std::filesystem::path& path) {
  EnsureFolder(path.parent_path());
  PartFile partial(path);
  WriteFile(report, rows, partial.path());
  partial.Commit();
}

}  // namespace saldor
