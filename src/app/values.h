#ifndef SALDOR_APP_VALUES_H_
#define SALDOR_APP_VALUES_H_

// The values that cross the database layer: a parameter bound to a statement, a fetched field
// and the whole result of a query. Plain values; nothing here talks to a database.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/calendar.h"

namespace saldor {

// A value bound to a "?" marker. std::nullptr_t binds SQL NULL; std::string binds text (UTF-8).
using Param = std::variant<std::nullptr_t, std::string, std::int64_t, double, bool, Date, DateTime>;

// One field of a fetched row. Integers arrive as integers, floating and decimal columns as
// doubles, everything else (text, dates) as text.
class Field {
 public:
  using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

  Field() = default;
  explicit Field(Value value) : value_(std::move(value)) {}

  // A number the driver gave as text: whole digits as an integer, any other number as a double,
  // and a text that is no number (stored in a number column) as the text.
  static Field FromNumberText(std::string text);

  bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
  const Value& value() const { return value_; }

  // The standard text form: an integer as its decimal digits, any other number in its shortest
  // general decimal form ("12.5", never "12.5000"), text as it is. Requires a non-null field;
  // a null raises error 94 "Invalid use of Null" naming `what` in its context.
  std::string AsText(std::string_view what) const;

  // The same, but a null gives `ifNull`.
  std::string TextOr(std::string_view ifNull) const;

  // The value as a double. Requires a non-null field that holds a number or a text that reads as
  // one; a null raises error 94, a text that is no number error 13, naming `what`.
  double AsNumber(std::string_view what) const;

 private:
  Value value_;
};

// The whole result of a query, fetched at once. Columns are found by name, compared without
// regard to letter case as SQL does.
class ResultSet {
 public:
  ResultSet() = default;
  ResultSet(std::vector<std::string> columns, std::vector<Field> fields);
  // The same, with column names shared with other results of one statement.
  ResultSet(std::shared_ptr<const std::vector<std::string>> columns, std::vector<Field> fields);

  const std::vector<std::string>& columns() const { return *columns_; }
  std::size_t size() const { return columns_->empty() ? 0 : fields_.size() / columns_->size(); }
  bool empty() const { return size() == 0; }

  // The index of the named column. A name the result does not have raises error 3265
  // "Item cannot be found in the collection corresponding to the requested name or ordinal.".
  std::size_t ColumnIndex(std::string_view name) const;

  // The field of row `row` (0-based, requires row < size()) in the named column.
  const Field& Get(std::size_t row, std::string_view column) const;
  const Field& At(std::size_t row, std::size_t column) const {
    return fields_[row * columns_->size() + column];
  }

 private:
  static std::shared_ptr<const std::vector<std::string>> NoColumns();
  std::shared_ptr<const std::vector<std::string>> columns_ = NoColumns();
  std::vector<Field> fields_;  // row-major
};

}  // namespace saldor

#endif  // SALDOR_APP_VALUES_H_
