#include "transfer/download_order_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <thread>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "support/ftp_server.h"
#include "support/silent_listener.h"
#include "support/temp_dir.h"
#include "transfer/partner_account.h"
#include "transfer_test_support.h"

namespace saldor {
namespace {

using ::saldor::testing::FtpServer;
using ::saldor::testing::FtpServerOptions;
using ::saldor::testing::LocalMoment;
using ::saldor::testing::ReadFile;
using ::saldor::testing::SilentListener;
using ::saldor::testing::TempDir;
using ::saldor::testing::WaitFor;
using ::saldor::testing::WriteFile;

constexpr char kToday[] = "Saldor_to_vendor_31-Dec-2026.csv";
constexpr char kOrderRows[] = "H,1,SALDOR,ABC-1\r\nL,2,SALDOR,ABC-2\r\n";

class DownloadOrderFileTest : public ::testing::Test {
 protected:
  // What one download is given: the program folder, the account and the clock.
  struct Context {
    std::filesystem::path programFolder;
    FtpAccount account;
    Clock clock;
  };

  // A run at noon on 31 Dec 2026 against the server on `port`.
  Context At(
      int port, Clock clock = [] { return LocalMoment(2026, 12, 31, 12, 0, 0); }) {
    return Context{program_.path(),
                   FtpAccount{FtpServer::kHost, port, kPartnerFtpUser, kPartnerFtpPassword},
                   std::move(clock)};
  }

  void ServerFile(const std::string& name, const std::string& content) {
    WriteFile(root_ / name, content);
  }

  std::set<std::string> ProgramFolderNames() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(program_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  // Runs the download and gives the error it raised, if any.
  static std::optional<RunError> Download(const Context& context,
                                          const FtpLimits& limits = FtpLimits()) {
    try {
      DownloadOrderFile(context.programFolder, context.account, context.clock, limits);
    } catch (const RunError& error) {
      return error;
    }
    return std::nullopt;
  }

  // Download on a thread of its own. A download still running after `bound` fails the test, and
  // `unblock` then takes its server away, so that a limit that does not work makes the test fail
  // instead of hang.
  static std::optional<RunError> DownloadWithin(const Context& context, const FtpLimits& limits,
                                                std::chrono::seconds bound,
                                                const std::function<void()>& unblock) {
    std::packaged_task<std::optional<RunError>()> task([&] { return Download(context, limits); });
    std::future<std::optional<RunError>> result = task.get_future();
    std::thread thread(std::move(task));
    if (result.wait_for(bound) != std::future_status::ready) {
      ADD_FAILURE() << "the download was still running after " << bound.count() << " s";
      unblock();
    }
    thread.join();
    return result.get();
  }

  // The error report, "" when there was no error.
  static std::string ReportOf(const std::optional<RunError>& error) {
    return error ? error->Report() : "";
  }

  static bool HasContext(const RunError& error, const std::string& line) {
    const auto& lines = error.context();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  TempDir root_{"saldor-ftp-root"};
  TempDir program_{"saldor program folder"};
};

TEST_F(DownloadOrderFileTest, FetchesTodaysFileListedInOtherCaseUnderTheListedName) {
  // Neither the listed name nor the local name is the name rebuilt with the date in capitals:
  // a case-sensitive server has only the listed one.
  ServerFile("saldor_to_vendor_31-dec-2026.CSV", kOrderRows);
  ServerFile("Saldor_to_vendor_30-Dec-2026.csv", "yesterday");
  FtpServer server(root_.path());

  EXPECT_EQ(ReportOf(Download(At(server.port()))), "");

  EXPECT_EQ(ReadFile(program_ / kToday), kOrderRows);  // byte for byte, line ends included
  EXPECT_EQ(ProgramFolderNames(), std::set<std::string>{kToday});
  EXPECT_EQ(server.Log(), std::vector<std::string>{"sent saldor_to_vendor_31-dec-2026.CSV"});
}

TEST_F(DownloadOrderFileTest, FirstOfTwoNamesDifferingInCaseIsTheOneFetchAndReplacesTheLocalFile) {
  // The test server lists names in byte order: capitals first. It names the first file itself,
  // as a Windows folder cannot hold both names.
  ServerFile("first", "first listed");
  ServerFile(kToday, "second listed");
  WriteFile(program_ / kToday, "fetched by an earlier run of the day, longer than the new one");
  FtpServer server(
      root_.path(),
      FtpServerOptions{.cutFiles = {}, .renames = {{"first", "SALDOR_TO_VENDOR_31-DEC-2026.CSV"}}});

  EXPECT_EQ(ReportOf(Download(At(server.port()))), "");

  EXPECT_EQ(ReadFile(program_ / kToday), "first listed");
  EXPECT_EQ(server.Log(), std::vector<std::string>{"sent SALDOR_TO_VENDOR_31-DEC-2026.CSV"});
}

TEST_F(DownloadOrderFileTest, NoFileForTodayFetchesNothingAndLeavesTheLocalFileAlone) {
  ServerFile("Saldor_to_vendor_30-Dec-2026.csv", "yesterday");
  ServerFile("Saldor_to_vendor_01-Jan-2027.csv", "tomorrow");
  ServerFile(std::string(kToday) + ".bak", "not the name");
  ServerFile(std::string("x") + kToday, "not the name either");
  WriteFile(program_ / kToday, "earlier run");
  FtpServer server(root_.path());

  EXPECT_EQ(ReportOf(Download(At(server.port()))), "");

  EXPECT_EQ(ReadFile(program_ / kToday), "earlier run");
  EXPECT_EQ(ProgramFolderNames(), std::set<std::string>{kToday});
  EXPECT_TRUE(server.Log().empty());
}

TEST_F(DownloadOrderFileTest, EmptyServerFolderIsNoFailure) {
  // WinINet reports an empty listing as a failed search; it is an empty folder all the same.
  WriteFile(program_ / kToday, "earlier run");
  FtpServer server(root_.path());

  EXPECT_EQ(ReportOf(Download(At(server.port()))), "");

  EXPECT_EQ(ReadFile(program_ / kToday), "earlier run");
  EXPECT_TRUE(server.Log().empty());
}

TEST_F(DownloadOrderFileTest, TakesTheDateOnceWhenTheRunCrossesMidnight) {
  // Every reading after the first is already the next day.
  int readings = 0;
  Clock clock = [&readings] {
    return readings++ == 0 ? LocalMoment(2026, 12, 31, 23, 59, 59)
                           : LocalMoment(2027, 1, 1, 0, 0, 1);
  };
  ServerFile(kToday, kOrderRows);
  ServerFile("Saldor_to_vendor_01-Jan-2027.csv", "next day");
  FtpServer server(root_.path());

  EXPECT_EQ(ReportOf(Download(At(server.port(), clock))), "");

  EXPECT_EQ(ReadFile(program_ / kToday), kOrderRows);
  EXPECT_EQ(ProgramFolderNames(), std::set<std::string>{kToday});
}

TEST_F(DownloadOrderFileTest, RefusedLoginIsReportedWithHostAndOperation) {
  ServerFile(kToday, kOrderRows);
  FtpServer server(root_.path(), FtpServerOptions{.password = "another password", .cutFiles = {}});

  std::optional<RunError> error = Download(At(server.port()));

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpLoginFailure);
  EXPECT_TRUE(HasContext(*error, "host: 127.0.0.1:" + std::to_string(server.port())));
  EXPECT_TRUE(HasContext(*error, "operation: connect and log in"));
  EXPECT_TRUE(
      WaitFor([&] { return server.Log() == std::vector<std::string>{"login-failed ftpvend1"}; }));
  EXPECT_TRUE(ProgramFolderNames().empty());
}

TEST_F(DownloadOrderFileTest, ServerThatIsDownIsReported) {
  int port = 0;
  {
    FtpServer gone(root_.path());
    port = gone.port();
  }

  std::optional<RunError> error = Download(At(port));

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpCannotConnect);
  EXPECT_FALSE(error->description().empty());
  EXPECT_TRUE(HasContext(*error, "host: 127.0.0.1:" + std::to_string(port)));
  EXPECT_TRUE(HasContext(*error, "operation: connect and log in"));
}

TEST_F(DownloadOrderFileTest, TransferCutInTheMiddleLeavesNoFileBehind) {
  ServerFile(kToday, std::string(300000, 'x'));
  FtpServer server(root_.path(), FtpServerOptions{.cutFiles = {kToday}});

  std::optional<RunError> error = Download(At(server.port()));

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpConnectionAborted);
  EXPECT_TRUE(HasContext(*error, "operation: fetch " + std::string(kToday)));
  // The server notes the broken transfer just after it has told the client.
  EXPECT_TRUE(WaitFor([&] {
    return server.Log() == std::vector<std::string>{"incomplete " + std::string(kToday)};
  }));
  EXPECT_TRUE(ProgramFolderNames().empty());  // neither today's file nor a temporary one
}

TEST_F(DownloadOrderFileTest, ServerThatNeverAnswersEndsWithTheTimeoutError) {
  SilentListener silent;
  // Connecting and logging in keep their standard half minute: only the limit on waiting for a
  // reply, here the greeting, can end the download this soon.
  std::optional<RunError> error =
      DownloadWithin(At(silent.port()), FtpLimits{.response = std::chrono::seconds(1)},
                     std::chrono::seconds(20), [&] { silent.Close(); });

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpTimeout) << error->Report();
  EXPECT_TRUE(HasContext(*error, "host: 127.0.0.1:" + std::to_string(silent.port())));
  EXPECT_TRUE(HasContext(*error, "operation: connect and log in"));
  EXPECT_TRUE(ProgramFolderNames().empty());
}

TEST_F(DownloadOrderFileTest, StalledTransferEndsWithTheTimeoutErrorAndKeepsTheEarlierFile) {
  ServerFile(kToday, std::string(100000, 'x'));
  WriteFile(program_ / kToday, "fetched by an earlier run of the day");
  std::optional<FtpServer> server(std::in_place, root_.path(),
                                  FtpServerOptions{.cutFiles = {}, .stallFiles = {kToday}});
  // Every reply keeps its standard minute: only the stall limit can end the transfer this soon.
  // The server answers nothing more once it has stalled, not even when the client gives up: the
  // giving up must not wait for it either.
  std::optional<RunError> error =
      DownloadWithin(At(server->port()), FtpLimits{.stall = std::chrono::seconds(1)},
                     std::chrono::seconds(10), [&] { server.reset(); });

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpTimeout) << error->Report();
  EXPECT_TRUE(HasContext(*error, "operation: fetch " + std::string(kToday)));
  EXPECT_EQ(ReadFile(program_ / kToday), "fetched by an earlier run of the day");
  EXPECT_EQ(ProgramFolderNames(), std::set<std::string>{kToday});  // no temporary file either
  // The transfer had begun: the limit ended it in the middle, not a command waiting for a reply.
  ASSERT_TRUE(server.has_value());
  EXPECT_EQ(server->Log().at(0), "stalled " + std::string(kToday));
}

TEST_F(DownloadOrderFileTest, ServerThatEndsInTheMiddleOfATransferLeavesNoFileBehind) {
  // The server goes away in the middle of the file: both connections closed, no final reply.
  ServerFile(kToday, std::string(100000, 'x'));
  WriteFile(program_ / kToday, "fetched by an earlier run of the day");
  std::optional<FtpServer> server(std::in_place, root_.path(),
                                  FtpServerOptions{.cutFiles = {}, .stallFiles = {kToday}});
  const Context context = At(server->port());
  std::thread end([&] {
    WaitFor([&] { return !server->Log().empty(); });
    server.reset();
  });
  std::optional<RunError> error =
      DownloadWithin(context, FtpLimits(), std::chrono::seconds(30), [] {});
  end.join();

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kFtpConnectionAborted) << error->Report();
  EXPECT_TRUE(HasContext(*error, "operation: fetch " + std::string(kToday)));
  EXPECT_EQ(ReadFile(program_ / kToday), "fetched by an earlier run of the day");
  EXPECT_EQ(ProgramFolderNames(), std::set<std::string>{kToday});
}

TEST_F(DownloadOrderFileTest, ProgramFolderThatCannotBeWrittenIsReported) {
  ServerFile(kToday, kOrderRows);
  FtpServer server(root_.path());
  Context context = At(server.port());
  context.programFolder = program_ / "missing";

  std::optional<RunError> error = Download(context);

  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), errors::kPathNotFound);
  ASSERT_FALSE(error->context().empty());
  EXPECT_NE(error->context()[0].find("missing"), std::string::npos);
  EXPECT_TRUE(server.Log().empty());
}

}  // namespace
}  // namespace saldor
