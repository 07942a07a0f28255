#ifndef SALDOR_REPORTS_REPORT_TEMPLATES_H_
#define SALDOR_REPORTS_REPORT_TEMPLATES_H_

#include <span>
#include <string_view>

namespace saldor {

// How one field of a report is written into the partner's file.
enum class FieldFormat {
  kText,         // the text as it comes
  kWholeNumber,  // a number written as an integer ("101")
  kTwoDecimals,  // a number written with two decimals ("1050.50")
  kDate,         // a date (and time) written as MM/DD/YYYY
};

// One field of a report template: the data set's column of that name, written in that format.
struct TemplateField {
  std::string_view name;
  FieldFormat format;
};

// A report template: the fields of one outbound file, in record order, and whether the file
// starts with a heading line of the field names.
struct ReportTemplate {
  std::string_view name;
  std::span<const TemplateField> fields;
  bool headingLine;
};

// The order status file: twelve text fields; the data set brings its own label row, so the
// template writes no heading.
extern const ReportTemplate crptSaldorOrderStatus;

// The available inventory file: nine fields behind a heading line of their names.
extern const ReportTemplate crptSaldorAvailInv;

}  // namespace saldor

#endif  // SALDOR_REPORTS_REPORT_TEMPLATES_H_
