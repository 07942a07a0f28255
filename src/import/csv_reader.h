#ifndef SALDOR_IMPORT_CSV_READER_H_
#define SALDOR_IMPORT_CSV_READER_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace saldor {

// Reads comma-separated records (RFC 4180) from UTF-8 text, giving each field's raw text: no
// number or date conversion, leading zeros and decimals stay as written. Fields are separated by
// ","; records end at CR LF, LF or a lone CR. A field that starts with a double quote runs to the
// closing quote and may hold commas, line breaks and doubled quotes (read as one quote); text
// between a closing quote and the next separator is kept as it stands. A text that ends with a
// line break has no empty record after it. Not copyable.
class CsvReader {
 public:
  // `text` is the whole input, already UTF-8 (see DecodeFileText); `name` names the input in
  // error reports.
  CsvReader(std::string text, std::string name);
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Reads the next record into `fields`, replacing what it held (an empty line gives one empty
  // field). Gives false, with `fields` empty, when the text is used up. A quoted field still open
  // at the end of the text raises error 62 naming the input and the record.
  bool Next(std::vector<std::string>& fields);

  // The 1-based number of the record last read (0 before the first).
  std::size_t recordNumber() const { return record_; }

 private:
  std::string text_;
  std::string name_;
  std::size_t pos_ = 0;
  std::size_t record_ = 0;
};

// The field of 1-based `column` in `fields`; the empty text when the record is shorter.
const std::string& CsvCell(const std::vector<std::string>& fields, std::size_t column);

}  // namespace saldor

#endif  // SALDOR_IMPORT_CSV_READER_H_
