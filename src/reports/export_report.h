#ifndef SALDOR_REPORTS_EXPORT_REPORT_H_
#define SALDOR_REPORTS_EXPORT_REPORT_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "app/database.h"
#include "reports/report_templates.h"

namespace saldor {

// `ExportReport`: writes `rows` through `report` to the comma-separated file `path`, which lies in
// the temp folder. Creates that folder (one level) when it is missing; never empties it.
//
// The file: UTF-8, CRLF line ends, every field in double quotes with inner quotes doubled, a null
// as "". A template with a heading line starts with the quoted field names; then one line per row
// of `rows`, the fields in template order, each taken from the column of its name and written in
// its FieldFormat.
//
// The file is written under a temporary name beside `path` and renamed into place when complete,
// replacing an older file of that name; a failure leaves no partial file at `path` (an older file
// stays as it was). Raises RunError when the folder or the file cannot be made, when `rows` lacks
// a field's column (3265), or when a value does not fit its format (13).
void ExportReport(const ReportTemplate& report, const ResultSet& rows,
                  const std::filesystem::path& path);

// One field as it stands in the file: `text` in double quotes, inner quotes doubled.
std::string CsvField(std::string_view text);

}  // namespace saldor

#endif  // SALDOR_REPORTS_EXPORT_REPORT_H_
