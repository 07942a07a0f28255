// Fuzz target of the order file reader: decoding, CSV records and cell cleaning. Besides not
// crashing, the reader must give valid UTF-8 and records that survive being written back as CSV
// and read again unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "import/csv_reader.h"
#include "import/order_file_row.h"
#include "import/text_encoding.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "csv reader fault: %s\n", what);
  std::abort();
}

// Every record of `text`; false when the reader refused it.
bool ReadAll(const std::string& text, Records& records) {
  saldor::CsvReader reader(text, "fuzz.csv");
  std::vector<std::string> fields;
  try {
    while (reader.Next(fields)) {
      if (fields.empty()) Broken("a record without fields");
      records.push_back(fields);
      try {
        (void)saldor::ReadOrderFileRow(fields);
      } catch (const saldor::RunError& error) {
        // A cell with a NUL character is refused.
        if (error.number() != saldor::errors::kInvalidFileFormat) Broken("unexpected row error");
      }
    }
  } catch (const saldor::RunError& error) {
    if (error.number() != saldor::errors::kInputPastEndOfFile) Broken("unexpected error");
    return false;
  }
  return true;
}

std::string WriteAll(const Records& records) {
  std::string text;
  for (const auto& fields : records) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      text += i == 0 ? "\"" : ",\"";
      for (char c : fields[i]) text += c == '"' ? std::string("\"\"") : std::string(1, c);
      text += "\"";
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text;
  try {
    text = saldor::DecodeFileText(std::string_view(reinterpret_cast<const char*>(data), size),
                                  "fuzz.csv");
  } catch (const saldor::RunError& error) {
    if (error.number() != saldor::errors::kInvalidFileFormat) Broken("unexpected decoding error");
    return 0;
  }
  if (!saldor::IsValidUtf8(text)) Broken("decoded text is not UTF-8");
  Records records;
  if (!ReadAll(text, records)) return 0;
  for (const auto& fields : records) {
    for (const std::string& field : fields) {
      if (!saldor::IsValidUtf8(field)) Broken("a field is not UTF-8");
    }
  }
  Records again;
  if (!ReadAll(WriteAll(records), again) || again != records) Broken("records do not round-trip");
  return 0;
}
