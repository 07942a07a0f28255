#include "import/csv_reader.h"

#include <utility>

#include "app/run_error.h"

namespace saldor {

CsvReader::CsvReader(std::string text, std::string name)
    : text_(std::move(text)), name_(std::move(name)) {}

bool CsvReader::Next(std::vector<std::string>& fields) {
  fields.clear();
  const std::size_t n = text_.size();
  if (pos_ >= n) return false;
  ++record_;
  const std::string_view text = text_;
  for (;;) {
    std::string& field = fields.emplace_back();
    if (pos_ < n && text[pos_] == '"') {
      const std::size_t start = pos_;
      ++pos_;
      for (;;) {
        const std::size_t quote = text.find('"', pos_);
        if (quote == std::string_view::npos) {
          pos_ = start;
          throw InputPastEndOfFileError(name_).AddContext("record " + std::to_string(record_) +
                                                          ": a quoted field is not closed");
        }
        field.append(text, pos_, quote - pos_);
        pos_ = quote + 1;
        if (pos_ < n && text[pos_] == '"') {
          field.push_back('"');
          ++pos_;
        } else {
          break;
        }
      }
    }
    std::size_t end = text.find_first_of(",\r\n", pos_);
    if (end == std::string_view::npos) end = n;
    field.append(text, pos_, end - pos_);
    pos_ = end;
    if (pos_ >= n) return true;
    const char separator = text[pos_++];
    if (separator == ',') continue;
    if (separator == '\r' && pos_ < n && text[pos_] == '\n') ++pos_;
    return true;
  }
}

const std::string& CsvCell(const std::vector<std::string>& fields, std::size_t column) {
  static const std::string kEmpty;
  return column >= 1 && column <= fields.size() ? fields[column - 1] : kEmpty;
}

}  // namespace saldor
