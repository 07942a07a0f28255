#include "import/order_file_row.h"

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "import/csv_reader.h"

namespace saldor {

std::string CleanCell(std::string_view cell) {
  const std::size_t first = cell.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = cell.find_last_not_of(' ');
  std::string_view trimmed = cell.substr(first, last - first + 1);
  std::string out;
  out.reserve(trimmed.size());
  for (char c : trimmed) {
    if (c != '\'') out.push_back(c);
  }
  return out;
}

namespace {

// The number of characters of UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

OrderFileRow ReadOrderFileRow(const std::vector<std::string>& fields) {
  auto cell = [&](std::size_t column) {
    const std::string& text = CsvCell(fields, column);
    // A database driver may end a text at a NUL character and store the rest of it nowhere, so
    // such a cell is refused rather than stored cut short.
    if (text.find('\0') != std::string::npos) {
      throw RunError(errors::kInvalidFileFormat, "Invalid file format",
                     {"column " + std::to_string(column) + ": the text holds a NUL character"});
    }
    return CleanCell(text);
  };
  OrderFileRow row;
  row.ColOrderNo = cell(1);
  row.ColLineNo = cell(2);
  row.ColIgnored6 = cell(6);
  row.ColShipToName = cell(7);
  row.ColShipToAddress1 = cell(8);
  row.ColShipToAddress2 = cell(9);
  row.ColShipToCity = cell(10);
  row.ColShipToState = cell(11);
  row.ColShipToZip = cell(12);
  row.ColBillToAddress1 = cell(14);
  row.ColBillToAddress2 = cell(15);
  row.ColBillToCity = cell(16);
  row.ColBillToState = cell(17);
  row.ColBillToZip = cell(18);
  row.ColVendorPartText = cell(19);
  row.ColCustomerPartNo = cell(21);
  row.ColQuantity = cell(kColQuantity);
  row.ColPriceEach = cell(kColPriceEach);
  row.ColMemo1 = cell(27);
  row.ColMemo2 = cell(35);
  // The ZIP code is four characters when the partner's system dropped its leading zero.
  if (CharacterCount(row.ColShipToZip) == 4) row.ColShipToZip = "0" + row.ColShipToZip;
  return row;
}

}  // namespace saldor
