#include "app/values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

#include "app/error_numbers.h"
#include "app/numbers.h"
#include "app/run_error.h"

namespace saldor {

// ---- Field --------------------------------------------------------------------------------

Field Field::FromNumberText(std::string text) {
  if (!text.empty() && text.find_first_of(".eE") == std::string::npos) {
    std::int64_t whole = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, whole);
    if (ec == std::errc() && ptr == end) return Field(Value(whole));
  }
  ParsedNumber number = ParseDecimal(text);
  if (number.status == NumberStatus::kOk) return Field(Value(number.value));
  return Field(Value(std::move(text)));
}

std::string Field::AsText(std::string_view what) const {
  if (IsNull()) throw InvalidUseOfNullError({"field: " + std::string(what)});
  return TextOr({});
}

std::string Field::TextOr(std::string_view ifNull) const {
  if (const auto* i = std::get_if<std::int64_t>(&value_)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value_)) return NumberText(*d);
  if (const auto* s = std::get_if<std::string>(&value_)) return *s;
  return std::string(ifNull);
}

double Field::AsNumber(std::string_view what) const {
  if (IsNull()) throw InvalidUseOfNullError({"field: " + std::string(what)});
  if (const auto* i = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&value_)) return *d;
  return ReadNumber(std::get<std::string>(value_), "field: " + std::string(what));
}

// ---- ResultSet ----------------------------------------------------------------------------

std::shared_ptr<const std::vector<std::string>> ResultSet::NoColumns() {
  static const auto none = std::make_shared<const std::vector<std::string>>();
  return none;
}

ResultSet::ResultSet(std::vector<std::string> columns, std::vector<Field> fields)
    : columns_(std::make_shared<const std::vector<std::string>>(std::move(columns))),
      fields_(std::move(fields)) {}

ResultSet::ResultSet(std::shared_ptr<const std::vector<std::string>> columns,
                     std::vector<Field> fields)
    : columns_(std::move(columns)), fields_(std::move(fields)) {}

std::size_t ResultSet::ColumnIndex(std::string_view name) const {
  auto same = [name](const std::string& column) {
    return column.size() == name.size() &&
           std::equal(column.begin(), column.end(), name.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) ==
                    std::tolower(static_cast<unsigned char>(b));
           });
  };
  auto it = std::find_if(columns_->begin(), columns_->end(), same);
  if (it == columns_->end()) {
    throw RunError(errors::kItemNotFoundInCollection,
                   "Item cannot be found in the collection corresponding to the requested name "
                   "or ordinal.",
                   {"field: " + std::string(name)});
  }
  return static_cast<std::size_t>(it - columns_->begin());
}

const Field& ResultSet::Get(std::size_t row, std::string_view column) const {
  return At(row, ColumnIndex(column));
}

}  // namespace saldor
