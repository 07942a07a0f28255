#include "transfer/upload_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "support/ftp_server.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/test_database.h"
#include "transfer/partner_account.h"
#include "transfer/process_start.h"
#include "transfer_test_support.h"

namespace saldor {
namespace {

using ::saldor::testing::BackgroundProcess;
using ::saldor::testing::FtpServer;
using ::saldor::testing::FtpServerOptions;
using ::saldor::testing::InstallRecordingUploadScript;
using ::saldor::testing::ReadFile;
using ::saldor::testing::SourcePath;
using ::saldor::testing::TempDir;
using ::saldor::testing::WaitFor;
using ::saldor::testing::WriteFile;

// The shipped upload script's tool is at hand: curl, which a Linux build needs anyway, or on
// Windows the curl.exe that ships with Windows 10 and later. Wine has none; there fileup.bat is
// checked with a stand-in (fileup_bat_test.sh).
bool UploadToolAtHand() {
  const char* systemRoot = std::getenv("SystemRoot");
  return systemRoot == nullptr ||
         std::filesystem::exists(std::filesystem::path(systemRoot) / "System32" / "curl.exe");
}

class UploadFileTest : public ::testing::Test {
 protected:
  UploadFileTest() { std::filesystem::create_directories(temp()); }

  static FtpAccount Account(int port = 2121) {
    return FtpAccount{FtpServer::kHost, port, kPartnerFtpUser, kPartnerFtpPassword};
  }

  std::filesystem::path temp() const { return program_ / "temp"; }

  std::filesystem::path script() const { return ScriptPath(temp(), "fileup"); }

  void InstallShippedScript() {
    std::filesystem::copy_file(SourcePath("scripts/" + script().filename().string()), script());
  }

  // The arguments the program gives the upload script for `file`, and its environment.
  static std::vector<std::string> ScriptArgs(const std::filesystem::path& file) {
    return {FtpServer::kHost, "ftpvend1", "qT#wz4Lp", file.string()};
  }
  static std::map<std::string, std::string> ScriptEnv(int port, const std::string& pause = "0") {
    return {{"SALDOR_FTP_PORT", std::to_string(port)}, {"SALDOR_UPLOAD_RETRY_PAUSE_S", pause}};
  }

  // The lines of `text`, without their line ends (LF, or CR LF as a batch file writes them).
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  // The upload script's log, one entry per line.
  std::vector<std::string> UploadLog() const { return Lines(ReadFile(temp() / "fileup.log")); }

  // Whether `line` is the log line "<date> <time> <zone> "<file>" to 127.0.0.1:<port> attempt
  // <attempt>/3 <outcome>...".
  static bool IsLogLine(const std::string& line, const std::filesystem::path& file, int port,
                        int attempt, const std::string& outcome) {
    static const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d{4} )");
    const std::string rest = "\"" + file.string() + "\" to 127.0.0.1:" + std::to_string(port) +
                             " attempt " + std::to_string(attempt) + "/3 " + outcome;
    return std::regex_search(line, stamp) && line.compare(26, rest.size(), rest) == 0;
  }

  // The lines a recording script wrote for `name`.
  std::vector<std::string> RecordedLines(const std::string& name) const {
    return Lines(ReadFile(temp() / (name + ".args")));
  }

  TempDir program_{"saldor program folder"};  // a path with blanks
};

TEST_F(UploadFileTest, StartsTheScriptDetachedWithFourArgumentsAndDoesNotWait) {
  InstallRecordingUploadScript(temp());
  const std::filesystem::path inventory = temp() / "saldor_available_inventory.csv";
  const std::filesystem::path status = temp() / "Vendor_to_saldor_01-Jan-2027.csv";
  WriteFile(inventory, "x");
  WriteFile(status, "y");
  UploadFile(temp(), Account(), inventory);
  UploadFile(temp(), Account(), status);

  // Both run at once: each has started while neither may end yet.
  ASSERT_TRUE(WaitFor([&] {
    return std::filesystem::exists(temp() / "saldor_available_inventory.csv.args") &&
           std::filesystem::exists(temp() / "Vendor_to_saldor_01-Jan-2027.csv.args");
  }));
  EXPECT_FALSE(std::filesystem::exists(temp() / "saldor_available_inventory.csv.done"));

  for (const std::filesystem::path& file : {inventory, status}) {
    std::vector<std::string> lines = RecordedLines(file.filename().string());
    ASSERT_GE(lines.size(), 6u) << ReadFile(temp() / (file.filename().string() + ".args"));
    EXPECT_EQ(lines[0], "4");
    EXPECT_EQ(lines[1], "[127.0.0.1]");
    EXPECT_EQ(lines[2], "[ftpvend1]");
    EXPECT_EQ(lines[3], "[qT#wz4Lp]");
    EXPECT_EQ(lines[4], "[" + file.string() + "]");
    EXPECT_EQ(lines[5], "port=2121");
    // Both are started and left alone, apart from this process.
    testing::ExpectStartedApart({lines.begin() + 6, lines.end()});
  }

  WriteFile(temp() / "go", "");
  EXPECT_TRUE(WaitFor([&] {
    return std::filesystem::exists(temp() / "saldor_available_inventory.csv.done") &&
           std::filesystem::exists(temp() / "Vendor_to_saldor_01-Jan-2027.csv.done");
  }));
}

TEST_F(UploadFileTest, ScriptThatCannotBeStartedIsAnError) {
  const std::filesystem::path file = temp() / "saldor_available_inventory.csv";
  WriteFile(file, "x");
  const std::string scriptLine = "file: " + script().string();
  try {
    UploadFile(temp(), Account(), file);
    ADD_FAILURE() << "a missing script was started";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), errors::kFileNotFound);
    ASSERT_EQ(error.context().size(), 2u);
    EXPECT_EQ(error.context()[0], scriptLine);
    EXPECT_TRUE(error.context()[1].rfind("detail: errno 2: ", 0) == 0 ||
                error.context()[1].rfind("detail: Windows error 2: ", 0) == 0)
        << error.context()[1];
  }

  if (!testing::TakeAwayExecution(InstallRecordingUploadScript(temp()))) return;
  try {
    UploadFile(temp(), Account(), file);
    ADD_FAILURE() << "a script that is not executable was started";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), errors::kPermissionDenied);
    EXPECT_EQ(error.context(),
              (std::vector<std::string>{scriptLine, "detail: errno 13: Permission denied"}));
  }
}

TEST_F(UploadFileTest, ShippedScriptLandsTheFileOnTheServer) {
  if (!UploadToolAtHand()) GTEST_SKIP() << "no curl.exe";
  TempDir root("saldor-ftp-root");
  FtpServer server(root.path());
  InstallShippedScript();
  const std::string content = "PartNo,OnHand\r\nABC-1,12.5\r\n";
  const std::filesystem::path file = temp() / "Vendor_to_saldor 01-Jan-2027.csv";
  WriteFile(file, content);
  UploadFile(temp(), Account(server.port()), file);

  const std::string received = "received " + file.filename().string();
  ASSERT_TRUE(WaitFor([&] {
    std::vector<std::string> log = server.Log();
    return std::find(log.begin(), log.end(), received) != log.end();
  }));
  EXPECT_EQ(ReadFile(root / file.filename().string()), content);
  // The script notes the transfer once it has ended.
  ASSERT_TRUE(WaitFor([&] { return UploadLog().size() == 1; }));
  EXPECT_TRUE(IsLogLine(UploadLog()[0], file, server.port(), 1, "sent")) << UploadLog()[0];
}

TEST_F(UploadFileTest, ShippedScriptTriesThreeTimesWhenTheLoginIsRefused) {
  if (!UploadToolAtHand()) GTEST_SKIP() << "no curl.exe";
  TempDir root("saldor-ftp-root");
  FtpServerOptions refusing;
  refusing.password = "not the partner's";
  FtpServer server(root.path(), refusing);
  InstallShippedScript();
  const std::filesystem::path inventory = temp() / "saldor_available_inventory.csv";
  const std::filesystem::path status = temp() / "Vendor_to_saldor_01-Jan-2027.csv";
  WriteFile(inventory, "x");
  WriteFile(status, "y");

  // Two uploads at once, as a run starts them: each try of each is one whole line.
  BackgroundProcess first(script(), ScriptArgs(inventory), ScriptEnv(server.port()));
  BackgroundProcess second(script(), ScriptArgs(status), ScriptEnv(server.port()));
  EXPECT_EQ(first.Wait(std::chrono::seconds(30)), 67) << first.Output();
  EXPECT_EQ(second.Wait(std::chrono::seconds(30)), 67) << second.Output();

  std::vector<std::string> log = UploadLog();
  ASSERT_EQ(log.size(), 6u) << ReadFile(temp() / "fileup.log");
  for (const std::filesystem::path& file : {inventory, status}) {
    int attempt = 0;
    for (const std::string& line : log) {
      if (line.find(file.filename().string()) == std::string::npos) continue;
      ++attempt;
      EXPECT_TRUE(
          IsLogLine(line, file, server.port(), attempt, "failed: curl 67: Access denied: 530"))
          << line;
    }
    EXPECT_EQ(attempt, 3);
  }
  EXPECT_EQ(ReadFile(temp() / "fileup.log").find("qT#wz4Lp"), std::string::npos);
  EXPECT_EQ(server.Log().size(), 6u);
  EXPECT_FALSE(std::filesystem::exists(root / inventory.filename().string()));
}

TEST_F(UploadFileTest, ShippedScriptSendsOnALaterTryOnceTheServerIsUp) {
  if (!UploadToolAtHand()) GTEST_SKIP() << "no curl.exe";
  TempDir root("saldor-ftp-root");
  int port = 0;
  {
    FtpServer gone(root.path());  // a port that nothing listens on once it is gone
    port = gone.port();
  }
  InstallShippedScript();
  const std::filesystem::path file = temp() / "saldor_available_inventory.csv";
  WriteFile(file, "PartNo,OnHand\r\n");

  // Pauses of 2 s and 4 s: the server below is up long before the last try.
  BackgroundProcess upload(script(), ScriptArgs(file), ScriptEnv(port, "2"));
  ASSERT_TRUE(WaitFor([&] { return !UploadLog().empty(); }));
  EXPECT_TRUE(IsLogLine(UploadLog()[0], file, port, 1, "failed: curl 7: Failed to connect"))
      << UploadLog()[0];
  FtpServerOptions samePort;
  samePort.port = port;
  FtpServer server(root.path(), samePort);
  EXPECT_EQ(upload.Wait(std::chrono::seconds(30)), 0) << upload.Output();

  std::vector<std::string> log = UploadLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_TRUE(IsLogLine(log.back(), file, port, static_cast<int>(log.size()), "sent"))
      << log.back();
  EXPECT_EQ(ReadFile(root / file.filename().string()), "PartNo,OnHand\r\n");
}

}  // namespace
}  // namespace saldor
