// Start-up and the end of a run, seen from outside: the real program in a program folder of its
// own, started as a process.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "app/text.h"
#include "support/process.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using namespace std::chrono_literals;
using testing::BackgroundProcess;
using testing::InstallProgram;
using testing::ProcessResult;
using testing::ReadFile;
using testing::RunProcess;
using testing::TempDir;
using testing::TestDatabase;
using testing::WriteFile;

// Every file below `folder` with its content (the program itself by its size), for telling
// whether anything was written.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    files[PathText(entry.path())] = entry.path().filename() == testing::ProgramBinary().filename()
                                        ? std::to_string(entry.file_size()) + " bytes"
                                        : ReadFile(entry.path());
  }
  return files;
}

class StartupTest : public ::testing::Test {
 protected:
  TempDir dir{"saldor startup \xC3\xBC"};  // a blank and a "u-umlaut" in the program folder's path
  std::filesystem::path folder = dir / "Saldor Auto";
  std::map<std::string, std::string> env{
      {"SALDOR_PACING_MS", "10"}, {"SALDOR_FTP_HOST", "127.0.0.1"}, {"SALDOR_FTP_PORT", "1"}};
};

TEST_F(StartupTest, MissingConfigIsFileNotFoundBeforeAnythingElse) {
  std::filesystem::path program = InstallProgram(folder, "unused");
  std::filesystem::remove(folder / "config.txt");
  ProcessResult run = RunProcess(program, {}, env);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err.rfind("error 53: File not found\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find(PathText(folder / "config.txt")), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder / "saldorauto.lock"));
}

TEST_F(StartupTest, ConnectionStringAsTheOnlyLineIsInputPastEndOfFile) {
  std::filesystem::path program = InstallProgram(folder, "unused");
  WriteFile(folder / "config.txt", "Driver=SQLite3;Database=/tmp/x.db;\r\n");
  ProcessResult run = RunProcess(program, {}, env);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err.rfind("error 62: Input past end of file\n", 0), 0u) << run.err;
}

TEST_F(StartupTest, UnreachableDatabaseIsReportedWithTheDriversError) {
  std::filesystem::path program =
      InstallProgram(folder, "Driver=FreeTDS;Server=127.0.0.1;Port=1;Database=Biz;UID=sa;");
  ProcessResult run = RunProcess(program, {}, env, 30s);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.err.find("error 20009: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("SQLSTATE 08"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("UID=sa;"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("QXV"), std::string::npos) << "the password must not be shown";
  EXPECT_EQ(run.out, "");
}

TEST_F(StartupTest, MalformedSettingStopsTheRun) {
  TestDatabase tdb;
  std::filesystem::path program = InstallProgram(folder, tdb.connectionString());
  env["SALDOR_PACING_MS"] = "soon";
  ProcessResult run = RunProcess(program, {}, env);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err.rfind("error 13: Type mismatch\n", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("SALDOR_PACING_MS=\"soon\""), std::string::npos);
}

TEST_F(StartupTest, SecondInstanceInTheSameFolderRefusesAndWritesNothing) {
  TestDatabase tdb(testing::Backend::kSqlite, /*withDemoData=*/true);
  std::filesystem::path program = InstallProgram(folder, tdb.connectionString());
  std::filesystem::create_directories(folder / "temp");
  testing::InstallIdleUploadScript(folder / "temp");
  auto slow = env;
  slow["SALDOR_PACING_MS"] = "30000";  // the first run waits long after its first task
  BackgroundProcess first(program, {}, slow);
  // The first task is over once its file is in place; the run then starts its (no-op) upload and
  // sits in its pacing wait, writing nothing.
  const std::filesystem::path firstFile = folder / "temp" / "saldor_available_inventory.csv";
  auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!std::filesystem::exists(firstFile) && first.Running() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(std::filesystem::exists(firstFile)) << first.Output();
  ASSERT_NE(first.Output().find("Program Loaded"), std::string::npos) << first.Output();
  std::this_thread::sleep_for(500ms);
  auto before = Snapshot(folder);
  std::string dbBefore = ReadFile(tdb.file());

  // Started by another spelling of the same installation's path.
  ProcessResult second = RunProcess(testing::AnotherSpelling(program), {}, env);
  EXPECT_FALSE(second.timedOut);
  EXPECT_EQ(second.exitStatus, 2);
  EXPECT_EQ(second.err, "This application is already running.\n");
  EXPECT_EQ(second.out, "");
  EXPECT_EQ(Snapshot(folder), before);
  EXPECT_EQ(ReadFile(tdb.file()), dbBefore);
  EXPECT_TRUE(first.Running());

  // Another installation (a copy in another folder) is not another instance of this one.
  std::filesystem::path other = InstallProgram(dir / "other", tdb.connectionString());
  ProcessResult elsewhere = RunProcess(other, {}, env);
  EXPECT_NE(elsewhere.out.find("Program Loaded"), std::string::npos) << elsewhere.err;
}

}  // namespace
}  // namespace saldor
