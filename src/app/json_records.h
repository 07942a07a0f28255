#ifndef SALDOR_APP_JSON_RECORDS_H_
#define SALDOR_APP_JSON_RECORDS_H_

// Records as one JSON document, the way many records travel to SQL Server in one parameter.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "app/values.h"

namespace saldor {

// How the columns of some records travel: the Transact-SQL type each column's values are read as,
// and which columns go beside the document, as "?" markers, instead of in it.
struct JsonLayout {
  std::vector<std::string> types;
  std::vector<bool> markers;
  std::size_t markerColumns() const;
};

// The layout of `values`, records of `columns` values one after the other. A column's type comes
// from the kinds of its non-null values: nvarchar(max) for text, bigint for whole numbers, float
// for numbers (whole ones among them too), bit, date, datetime2(0) for dates and times (dates
// among them too); nvarchar(max) for a column of nulls only or of other kinds mixed. A column
// with a text that JSON would have to escape (a quote, a backslash or a control character, such
// as the line break in every order's memo) goes beside the document: the OPENJSON of the test
// server (Babelfish) gives such a text back with its escapes still in it, where SQL Server gives
// the text itself.
JsonLayout JsonLayoutOf(std::span<const Param> values, std::size_t columns);

// The records as a JSON array of arrays, each record's number (0, 1, ...) first and then its
// values, those of the layout's marker columns as null: text as a string (UTF-8 kept), numbers in
// their shortest form that reads back exactly, true and false, a date as "yyyy-mm-dd", a date
// and time as "yyyy-mm-ddThh:mm:ss", null. Requires the layout of these values. A number that is
// not finite raises error 6 (Overflow).
std::string JsonRecords(std::span<const Param> values, std::size_t columns,
                        const JsonLayout& layout);

// The values of the layout's marker columns, record after record.
std::vector<Param> JsonMarkerValues(std::span<const Param> values, std::size_t columns,
                                    const JsonLayout& layout);

}  // namespace saldor

#endif  // SALDOR_APP_JSON_RECORDS_H_
