#include "app/json_records.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <variant>

#include "app/run_error.h"

namespace saldor {
namespace {

// Whether JSON would have to escape a character of `text`.
bool NeedsEscape(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
  });
}

void AppendNumber(double value, std::string& json) {
  if (!std::isfinite(value)) throw OverflowError({"a number that is not finite"});
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  json.append(text, end);
}

void AppendDate(const Date& date, std::string& json) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  json += text;
}

void AppendValue(const Param& value, std::string& json) {
  if (std::holds_alternative<std::nullptr_t>(value)) {
    json += "null";
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    json += '"' + *text + '"';  // nothing to escape: see JsonLayoutOf
  } else if (const auto* whole = std::get_if<std::int64_t>(&value)) {
    json += std::to_string(*whole);
  } else if (const auto* real = std::get_if<double>(&value)) {
    AppendNumber(*real, json);
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    json += *flag ? "true" : "false";
  } else if (const auto* date = std::get_if<Date>(&value)) {
    json += '"';
    AppendDate(*date, json);
    json += '"';
  } else if (const auto* moment = std::get_if<DateTime>(&value)) {
    json += '"';
    AppendDate(moment->date, json);
    char time[16];
    std::snprintf(time, sizeof time, "T%02d:%02d:%02d", moment->hour, moment->minute,
                  moment->second);
    json += time;
    json += '"';
  }
}

// A set of kinds of values: a bit per Param alternative.
unsigned KindOf(const Param& value) { return 1u << value.index(); }

// The Transact-SQL type of values of the kinds in `kinds`.
const char* TypeOf(unsigned kinds) {
  static const unsigned kWhole = KindOf(std::int64_t{0}), kReal = KindOf(0.0),
                        kFlag = KindOf(false), kDate = KindOf(Date{}), kMoment = KindOf(DateTime{});
  if (kinds == kWhole) return "bigint";
  if ((kinds & ~(kWhole | kReal)) == 0 && kinds != 0) return "float";
  if (kinds == kFlag) return "bit";
  if (kinds == kDate) return "date";
  if ((kinds & ~(kDate | kMoment)) == 0 && kinds != 0) return "datetime2(0)";
  return "nvarchar(max)";
}

}  // namespace

std::size_t JsonLayout::markerColumns() const {
  return static_cast<std::size_t>(std::count(markers.begin(), markers.end(), true));
}

JsonLayout JsonLayoutOf(std::span<const Param> values, std::size_t columns) {
  JsonLayout layout;
  for (std::size_t column = 0; column < columns; ++column) {
    unsigned kinds = 0;
    bool marker = false;
    for (std::size_t i = column; i < values.size(); i += columns) {
      if (!std::holds_alternative<std::nullptr_t>(values[i])) kinds |= KindOf(values[i]);
      const auto* text = std::get_if<std::string>(&values[i]);
      marker = marker || (text && NeedsEscape(*text));
    }
    layout.types.emplace_back(TypeOf(kinds));
    layout.markers.push_back(marker);
  }
  return layout;
}

std::string JsonRecords(std::span<const Param> values, std::size_t columns,
                        const JsonLayout& layout) {
  std::string json = "[";
  for (std::size_t first = 0, record = 0; first < values.size(); first += columns, ++record) {
    if (record > 0) json += ',';
    json += '[' + std::to_string(record);
    for (std::size_t column = 0; column < columns; ++column) {
      json += ',';
      if (layout.markers[column]) {
        json += "null";
      } else {
        AppendValue(values[first + column], json);
      }
    }
    json += ']';
  }
  return json + "]";
}

std::vector<Param> JsonMarkerValues(std::span<const Param> values, std::size_t columns,
                                    const JsonLayout& layout) {
  std::vector<Param> markers;
  for (std::size_t first = 0; first < values.size(); first += columns) {
    for (std::size_t column = 0; column < columns; ++column) {
      if (layout.markers[column]) markers.push_back(values[first + column]);
    }
  }
  return markers;
}

}  // namespace saldor
