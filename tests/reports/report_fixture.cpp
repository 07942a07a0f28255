#include "reports/report_fixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <thread>

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

ReportFixture::ReportFixture() {
  settings_.ftpHost = "partner.example";
  std::filesystem::create_directory(tempFolder());
  const std::filesystem::path script = tempFolder() / "fileup.sh";
  WriteFile(
      script,
      "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n"
      "printf '%s\\n' \"$1\" \"$2\" \"$3\" \"$4\" > upload.$$ && mv upload.$$ upload.$$.done\n");
  chmod(script.c_str(), 0755);
}

RunContext ReportFixture::Context(std::chrono::system_clock::time_point moment) {
  return RunContext{database_.db(), folder_.path(), settings_, screen_,
                    [moment] { return moment; }};
}

std::vector<std::vector<std::string>> ReportFixture::Uploads(std::size_t expected) {
  std::vector<std::vector<std::string>> uploads;
  for (int attempt = 0; attempt < 200 && uploads.size() < expected; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    uploads.clear();
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder())) {
      if (entry.path().extension() != ".done") continue;
      std::istringstream lines(ReadFile(entry.path()));
      uploads.emplace_back();
      for (std::string line; std::getline(lines, line);) uploads.back().push_back(line);
    }
  }
  return uploads;
}

}  // namespace saldor::testing
