#include "import/csv_reader.h"

#include <gtest/gtest.h>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "import/order_file_row.h"
#include "import/text_encoding.h"

namespace saldor {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(const std::string& text) {
  CsvReader reader(text, "test.csv");
  Records records;
  std::vector<std::string> fields;
  while (reader.Next(fields)) records.push_back(fields);
  return records;
}

TEST(CsvReaderTest, ReadsRawFieldsAndQuotedFields) {
  EXPECT_EQ(ReadAll("007,12.50,01/02/2026,1e3\r\n"),
            (Records{{"007", "12.50", "01/02/2026", "1e3"}}));
  EXPECT_EQ(ReadAll("\"a,b\",\"say \"\"hi\"\"\",\"\"\n"), (Records{{"a,b", "say \"hi\"", ""}}));
  // A quoted field keeps its line breaks as they are; text after the closing quote stays.
  EXPECT_EQ(ReadAll("\"line1\r\nline2\",\"x\"y,z\"q\n"),
            (Records{{"line1\r\nline2", "xy", "z\"q"}}));
}

TEST(CsvReaderTest, RecordEndsAndEmptyLines) {
  EXPECT_EQ(ReadAll("a,b\r\nc\nd\re,"), (Records{{"a", "b"}, {"c"}, {"d"}, {"e", ""}}));
  EXPECT_EQ(ReadAll("a\r\n\r\nb\r\n"), (Records{{"a"}, {""}, {"b"}}));
  EXPECT_EQ(ReadAll(""), Records{});
}

TEST(CsvReaderTest, CountsRecordsNotLines) {
  CsvReader reader("h\n\"x\ny\"\nlast\n", "test.csv");
  std::vector<std::string> fields;
  ASSERT_TRUE(reader.Next(fields));
  ASSERT_TRUE(reader.Next(fields));
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields, std::vector<std::string>{"last"});
  EXPECT_EQ(reader.recordNumber(), 3u);
  EXPECT_FALSE(reader.Next(fields));
  EXPECT_TRUE(fields.empty());
}

TEST(CsvReaderTest, UnclosedQuoteIsInputPastEndOfFile) {
  CsvReader reader("a\nb,\"never closed\nc\n", "orders.csv");
  std::vector<std::string> fields;
  ASSERT_TRUE(reader.Next(fields));
  try {
    reader.Next(fields);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), 62);
    EXPECT_NE(error.Report().find("orders.csv"), std::string::npos);
    EXPECT_NE(error.Report().find("record 2"), std::string::npos);
  }
}

TEST(CsvReaderTest, ShortRecordsGiveEmptyCells) {
  const std::vector<std::string> fields = {"a", "b"};
  EXPECT_EQ(CsvCell(fields, 2), "b");
  EXPECT_EQ(CsvCell(fields, 3), "");
  EXPECT_EQ(CsvCell(fields, 0), "");
}

TEST(TextEncodingTest, Utf8KeptBomDroppedOtherTextReadAsWindows1252) {
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF"
                           "caf\xC3\xA9",
                           "o.csv"),
            "caf\xC3\xA9");
  EXPECT_EQ(DecodeFileText("\xF0\x9F\x98\x80", "o.csv"), "\xF0\x9F\x98\x80");
  // 0xE9 is "é", 0x80 "€", 0x92 the right single quote, 0x81 unassigned (kept as U+0081).
  EXPECT_EQ(DecodeFileText("caf\xE9 \x80\x92\x81", "o.csv"),
            "caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x99\xC2\x81");
  // Overlong forms, surrogates and cut-off sequences are not UTF-8.
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("ab\xE2\x82"));
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));

  // UTF-16 by its byte-order mark, in either byte order, with surrogate pairs.
  using namespace std::string_view_literals;
  EXPECT_EQ(DecodeFileText("\xFF\xFE"
                           "a\0\xE9\0\x3D\xD8\x00\xDE\r\0\n\0"sv,
                           "o.csv"),
            "a\xC3\xA9\xF0\x9F\x98\x80\r\n");
  EXPECT_EQ(DecodeFileText("\xFE\xFF\0a\xD8\x3D\xDE\x00\x20\xAC"sv, "o.csv"),
            "a\xF0\x9F\x98\x80\xE2\x82\xAC");
  EXPECT_EQ(DecodeFileText("\xFF\xFE"sv, "o.csv"), "");
  // An odd byte count or a surrogate without its partner is not text: an error naming the file.
  const std::pair<std::string_view, std::string> broken[] = {
      {"\xFF\xFE"
       "a\0b"sv,
       "odd number of bytes (5)"},
      {"\xFF\xFE"
       "a\0\x3D\xD8"sv,
       "lone surrogate U+D83D at byte 4"},
      {"\xFF\xFE\x3D\xD8"
       "a\0"sv,
       "lone surrogate U+D83D at byte 2"},
      {"\xFE\xFF\xDE\x00"sv, "lone surrogate U+DE00 at byte 2"},
  };
  for (const auto& [bytes, what] : broken) {
    try {
      DecodeFileText(bytes, "/orders/o.csv");
      ADD_FAILURE() << what;
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), errors::kInvalidFileFormat);
      EXPECT_NE(error.Report().find("file: /orders/o.csv"), std::string::npos);
      EXPECT_NE(error.Report().find(what), std::string::npos) << error.Report();
    }
  }
}

TEST(OrderFileRowTest, CleaningTrimsSpacesOnlyThenDropsApostrophes) {
  EXPECT_EQ(CleanCell("  O'Brien's  "), "OBriens");
  EXPECT_EQ(CleanCell("' 12"), " 12");
  EXPECT_EQ(CleanCell("\t1 "), "\t1");
  EXPECT_EQ(CleanCell(" ''' "), "");
}

TEST(OrderFileRowTest, ShipToZipOfFourCharactersGetsLeadingZero) {
  auto zips = [](const std::string& shipTo, const std::string& billTo) {
    std::vector<std::string> fields(18);
    fields[11] = shipTo;
    fields[17] = billTo;
    const OrderFileRow row = ReadOrderFileRow(fields);
    return row.ColShipToZip + "|" + row.ColBillToZip;
  };
  EXPECT_EQ(zips(" 2134 ", "2134"), "02134|2134");
  EXPECT_EQ(zips("213", "12345"), "213|12345");
  EXPECT_EQ(zips("12345", ""), "12345|");
  EXPECT_EQ(zips("'123'4", ""), "01234|");
  EXPECT_EQ(zips("\xC3\x85"
                 "123",
                 ""),
            "0\xC3\x85"
            "123|");  // four characters, five bytes
}

}  // namespace
}  // namespace saldor
