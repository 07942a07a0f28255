#include "app/mod_main.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>

#include "app/config.h"
#include "app/error_numbers.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/run_error.h"
#include "app/run_watchdog.h"
#include "app/text.h"

namespace saldor {

std::string ConnectionStringFor(const std::string& prefix) {
  std::string connection = prefix;
  const std::size_t last = connection.find_last_not_of(" \t");
  if (last != std::string::npos && connection[last] != ';') connection += ';';
  return connection + "PWD=QXV;";
}

std::unique_ptr<Database> OpenDatabase(const std::string& prefix) {
  try {
    return Database::Open(ConnectionStringFor(prefix), kLoginTimeoutSeconds,
                          kStatementTimeoutSeconds);
  } catch (RunError& error) {
    // The prefix is what config.txt holds; the password is never shown.
    error.AddContext("connection string from config.txt: " + prefix);
    throw;
  }
}

namespace {

// cnDatabase: the one connection of the process, owned here for the life of the run.
std::unique_ptr<Database> cnDatabase;

void CloseDatabase() {
  if (cnDatabase) cnDatabase->Close();
}

[[noreturn]] void EndProgram() {
  CloseDatabase();
  EndProcess(kExitOk);
}

// `tasks`, each telling `watchdog` when it begins and, as a pacing wait follows it, when it ends.
std::vector<Task> Watched(const std::vector<Task>& tasks, RunWatchdog& watchdog) {
  std::vector<Task> watched;
  watched.reserve(tasks.size());
  for (const Task& task : tasks) {
    watched.push_back({task.name, [&watchdog, task](RunContext& context) {
                         watchdog.Enter("task: " + task.name);
                         task.run(context);
                         watchdog.Enter("while: the pacing wait after " + task.name);
                       }});
  }
  return watched;
}

// The run; `watchdog` is armed once the settings are read, and outlives a failure so that the
// report's message box is watched too.
[[noreturn]] void Run(const std::vector<Task>& tasks, std::optional<RunWatchdog>& watchdog) {
  const Settings settings = Settings::FromEnvironment();
  watchdog.emplace(std::chrono::seconds(settings.runLimitS),
                   "limit: SALDOR_RUN_LIMIT_S=" + std::to_string(settings.runLimitS) + " s",
                   kExitFailed);
  const std::filesystem::path programFolder = ProgramFolder();
  const std::string prefix = ReadConfig(programFolder);
  cnDatabase = OpenDatabase(prefix);

  std::unique_ptr<InstanceLock> lock = InstanceLock::TryAcquire(programFolder);
  if (!lock) {
    ShowMessage("Application Already Running", "This application is already running.");
    EndProcess(kExitAlreadyRunning);
  }

  Screen screen;
  RunContext context{*cnDatabase, programFolder, settings, screen};
  Form1 form([] { EndProgram(); }, context.clock);
  form.Form_Load([&] {
    // The log is the hidden window's text; it goes to the standard output too, so that whoever
    // started the run sees it.
    std::cout << form.txtResults << std::endl;
    RunTasks(context, form, Watched(tasks, *watchdog), [&watchdog] {
      watchdog->Enter("while: closing the database");
      EndProgram();
    });
  });
  EndProgram();  // RunTasks ends the process; this is never reached.
}

}  // namespace

void RunProgram(const std::vector<Task>& tasks) {
  std::optional<RunWatchdog> watchdog;
  std::string report;
  try {
    Run(tasks, watchdog);
  } catch (const RunError& error) {
    report = error.Report();
  } catch (const std::filesystem::filesystem_error& error) {
    std::vector<std::string> context;
    if (!error.path1().empty()) context.push_back("path: " + PathText(error.path1()));
    if (!error.path2().empty()) context.push_back("path: " + PathText(error.path2()));
    context.push_back(error.what());
    report = SystemError(error.code(), "A file operation failed", context, error.path1()).Report();
  } catch (const std::bad_alloc&) {
    report = RunError(errors::kOutOfMemory, "Out of memory").Report();
  } catch (const std::exception& error) {
    report = RunError(errors::kInternalError, error.what()).Report();
  }
  if (watchdog) watchdog->Enter("while: waiting for the error report to be acknowledged");
  ShowMessage("SaldorAuto", report);
  EndProcess(kExitFailed);
}

}  // namespace saldor
