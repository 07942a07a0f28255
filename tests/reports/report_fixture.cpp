#include "reports/report_fixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <sstream>
#include <thread>

namespace saldor::testing {

CsvRows ReadCsv(const std::filesystem::path& path) {
  const std::string text = ReadFile(path);
  CsvRows rows;
  std::size_t i = 0;
  while (i < text.size()) {
    std::vector<std::string> row;
    for (;;) {
      if (text[i] != '"') {
        ADD_FAILURE() << "unquoted field at byte " << i << " of " << path;
        return rows;
      }
      std::string field;
      for (++i;; ++i) {
        if (i >= text.size()) {
          ADD_FAILURE() << "unterminated field in " << path;
          return rows;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += text[i];
        }
      }
      row.push_back(field);
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (text.compare(i, 2, "\r\n") != 0) {
        ADD_FAILURE() << "line not ended by CRLF at byte " << i << " of " << path;
        return rows;
      }
      i += 2;
      break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::chrono::system_clock::time_point LocalNoon(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

ReportFixture::ReportFixture() {
  settings_.ftpHost = "partner.example";
  std::filesystem::create_directory(tempFolder());
  const std::filesystem::path script = tempFolder() / "fileup.sh";
  WriteFile(script,
            "#!/bin/sh\n"
            "printf '%s\\n' \"$1\" \"$2\" \"$3\" \"$4\" > \"$(dirname \"$0\")/upload.$$\"\n"
            "mv \"$(dirname \"$0\")/upload.$$\" \"$(dirname \"$0\")/upload.$$.done\"\n");
  chmod(script.c_str(), 0755);
}

RunContext ReportFixture::Context(std::chrono::system_clock::time_point moment) {
  return RunContext{database_.db(), programFolder_.path(), settings_, screen_,
                    [moment] { return moment; }};
}

std::vector<std::vector<std::string>> ReportFixture::Uploads(std::size_t expected) {
  std::vector<std::vector<std::string>> uploads;
  for (int attempt = 0; attempt < 200; ++attempt) {
    uploads.clear();
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder())) {
      if (entry.path().extension() != ".done") continue;
      std::istringstream lines(ReadFile(entry.path()));
      std::vector<std::string> args;
      for (std::string line; std::getline(lines, line);) args.push_back(line);
      uploads.push_back(args);
    }
    if (uploads.size() >= expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return uploads;
}

}  // namespace saldor::testing
