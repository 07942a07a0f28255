#include "reports/report_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/clock.h"

namespace saldor::testing {

CsvRows ReadCsv(const std::filesystem::path& path) {
  const std::string text = ReadFile(path);
  CsvRows rows;
  std::vector<std::string> row;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '"') {
      ADD_FAILURE() << "unquoted field at byte " << i << " of " << path;
      return rows;
    }
    std::string field;
    for (++i; i < text.size() && (text[i] != '"' || text.compare(i, 2, "\"\"") == 0); ++i) {
      field += text[i];
      if (text[i] == '"') ++i;
    }
    row.push_back(field);
    if (text.compare(i, 2, "\",") == 0) {
      i += 2;
    } else if (text.compare(i, 3, "\"\r\n") == 0) {
      i += 3;
      rows.push_back(std::move(row));
      row.clear();
    } else {
      ADD_FAILURE() << "field not followed by a comma or CRLF at byte " << i << " of " << path;
      return rows;
    }
  }
  return rows;
}

std::chrono::system_clock::time_point LocalNoon(int year, int month, int day) {
  return LocalMoment(year, month, day);
}

void ExpectPieces(const std::string& text, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    ASSERT_EQ(text.substr(at, pieces[i].size()), pieces[i]) << "piece " << i + 1;
    at += pieces[i].size();
  }
  EXPECT_EQ(text.substr(at), "") << "text after the last piece";
}

ReportFixture::ReportFixture(Backend backend) : database_(backend) {
  std::filesystem::create_directory(tempFolder());
}

RunContext ReportFixture::Context(std::chrono::system_clock::time_point moment) {
  return RunContext{database_.db(), folder_.path(), settings_, screen_,
                    [moment] { return moment; }};
}

}  // namespace saldor::testing
