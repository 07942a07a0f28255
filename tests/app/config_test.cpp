#include "app/config.h"

#include <gtest/gtest.h>

#include "app/mod_main.h"
#include "app/run_error.h"
#include "app/settings.h"
#include "support/temp_dir.h"

namespace saldor {
namespace {

using testing::TempDir;
using testing::WriteFile;
using Items = std::vector<std::string>;

TEST(ReadItemsTest, FreeFormatSequentialInputRules) {
  // Commas and every kind of line end separate; blanks, tabs and line ends before an item go.
  EXPECT_EQ(ReadItems("a,b,c", 3), (Items{"a", "b", "c"}));
  EXPECT_EQ(ReadItems("a\r\nb\rc\n", 3), (Items{"a", "b", "c"}));
  EXPECT_EQ(ReadItems("  \t a,\r\n\r\n   b,\tc", 3), (Items{"a", "b", "c"}));
  // An unquoted item keeps whatever follows its first character up to the separator.
  EXPECT_EQ(ReadItems("a b ,c\t,d", 3), (Items{"a b ", "c\t", "d"}));
  // Two separators in a row give an empty item; CR LF counts as one line end.
  EXPECT_EQ(ReadItems("a,,c", 3), (Items{"a", "", "c"}));
  EXPECT_EQ(ReadItems("a\r\n,c", 3), (Items{"a", "", "c"}));
  // A quoted item keeps its commas and blanks and loses its quotes.
  EXPECT_EQ(ReadItems("\"x, y\" , \" z \",\"\"", 3), (Items{"x, y", " z ", ""}));
  // Nothing after the requested count is read; a short text gives fewer items.
  EXPECT_EQ(ReadItems("a,b,c,d", 3), (Items{"a", "b", "c"}));
  EXPECT_EQ(ReadItems("only one line\r\n", 3), (Items{"only one line"}));
  EXPECT_EQ(ReadItems("", 3), Items{});
}

TEST(ReadConfigTest, ThirdItemIsTheConnectionPrefix) {
  TempDir dir;
  WriteFile(dir / "config.txt", "SaldorAuto\r\n3.4\r\nDriver=SQLite3;Database=/x.db;\r\nmore\r\n");
  EXPECT_EQ(ReadConfig(dir.path()), "Driver=SQLite3;Database=/x.db;");
}

TEST(ReadConfigTest, ConnectionStringWithCommaNeedsQuotes) {
  TempDir dir;
  WriteFile(dir / "config.txt", "a,b,\"Server=host,1433;Database=Biz;\"\r\n");
  EXPECT_EQ(ReadConfig(dir.path()), "Server=host,1433;Database=Biz;");
  WriteFile(dir / "config.txt", "a,b,Server=host,1433;Database=Biz;\r\n");
  EXPECT_EQ(ReadConfig(dir.path()), "Server=host");
}

TEST(ReadConfigTest, MissingFileIsFileNotFound) {
  TempDir dir;
  try {
    ReadConfig(dir.path());
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), 53);
    EXPECT_EQ(error.description(), "File not found");
    EXPECT_NE(error.Report().find((dir / "config.txt").string()), std::string::npos);
  }
}

TEST(ReadConfigTest, UnreadableFileIsFileNotFound) {
  TempDir dir;
  std::filesystem::create_directory(dir / "config.txt");
  try {
    ReadConfig(dir.path());
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), 53);
    EXPECT_NE(error.Report().find((dir / "config.txt").string()), std::string::npos);
  }
}

TEST(ReadConfigTest, FewerThanThreeItemsIsInputPastEndOfFile) {
  TempDir dir;
  for (const char* text : {"Driver=SQLite3;Database=/x.db;\r\n", "a,b", ""}) {
    WriteFile(dir / "config.txt", text);
    try {
      ReadConfig(dir.path());
      FAIL() << "no error for: " << text;
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), 62);
      EXPECT_EQ(error.description(), "Input past end of file");
    }
  }
}

TEST(ConnectionStringTest, PasswordIsAlwaysASettingOfItsOwn) {
  EXPECT_EQ(ConnectionStringFor("Driver=SQLite3;Database=/x.db;"),
            "Driver=SQLite3;Database=/x.db;PWD=QXV;");
  EXPECT_EQ(ConnectionStringFor("Driver=FreeTDS;Server=h;UID=sa"),
            "Driver=FreeTDS;Server=h;UID=sa;PWD=QXV;");
  EXPECT_EQ(ConnectionStringFor("Driver=FreeTDS;Server=h;UID=sa; "),
            "Driver=FreeTDS;Server=h;UID=sa; PWD=QXV;");
  EXPECT_EQ(ConnectionStringFor(""), "PWD=QXV;");
}

std::function<std::optional<std::string>(const char*)> Env(
    const std::map<std::string, std::string>& values) {
  return [values](const char* name) -> std::optional<std::string> {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(SettingsTest, DefaultsAndValues) {
  Settings defaults = Settings::Read(Env({}));
  EXPECT_FALSE(defaults.ftpHost.empty());
  EXPECT_EQ(defaults.ftpPort, 21);
  EXPECT_EQ(defaults.pacingMs, 15000);
  EXPECT_EQ(defaults.runLimitS, 3600);
  Settings set = Settings::Read(Env({{"SALDOR_FTP_HOST", "ftp.partner.test"},
                                     {"SALDOR_FTP_PORT", "2121"},
                                     {"SALDOR_PACING_MS", "0"},
                                     {"SALDOR_RUN_LIMIT_S", "86400"}}));
  EXPECT_EQ(set.ftpHost, "ftp.partner.test");
  EXPECT_EQ(set.ftpPort, 2121);
  EXPECT_EQ(set.pacingMs, 0);
  EXPECT_EQ(set.runLimitS, 86400);
}

TEST(SettingsTest, MalformedValueIsAnErrorNamingTheSetting) {
  const std::pair<const char*, const char*> bad[] = {
      {"SALDOR_FTP_PORT", "21x"},   {"SALDOR_FTP_PORT", "0"},
      {"SALDOR_FTP_PORT", "70000"}, {"SALDOR_FTP_PORT", ""},
      {"SALDOR_PACING_MS", "-5"},   {"SALDOR_PACING_MS", "15 000"},
      {"SALDOR_FTP_HOST", ""},      {"SALDOR_FTP_HOST", "ftp://host/dir"},
      {"SALDOR_RUN_LIMIT_S", "0"},  {"SALDOR_RUN_LIMIT_S", "1h"},
  };
  for (const auto& [name, value] : bad) {
    try {
      Settings::Read(Env({{name, value}}));
      ADD_FAILURE() << name << "=" << value << " accepted";
    } catch (const RunError& error) {
      EXPECT_EQ(error.number(), 13);
      EXPECT_NE(error.Report().find(std::string(name) + "=\"" + value + "\""), std::string::npos)
          << error.Report();
    }
  }
}

}  // namespace
}  // namespace saldor
