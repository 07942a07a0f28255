#include "app/mod_main.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <new>

#include "app/config.h"
#include "app/error_numbers.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/run_error.h"
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

[[noreturn]] void Run(const std::vector<Task>& tasks) {
  const Settings settings = Settings::FromEnvironment();
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
    RunTasks(context, form, tasks, [] { EndProgram(); });
  });
  EndProgram();  // RunTasks ends the process; this is never reached.
}

}  // namespace

void RunProgram(const std::vector<Task>& tasks) {
  try {
    Run(tasks);
  } catch (const RunError& error) {
    ShowMessage("SaldorAuto", error.Report());
  } catch (const std::filesystem::filesystem_error& error) {
    std::vector<std::string> context;
    if (!error.path1().empty()) context.push_back("path: " + PathText(error.path1()));
    if (!error.path2().empty()) context.push_back("path: " + PathText(error.path2()));
    context.push_back(error.what());
    ShowMessage(
        "SaldorAuto",
        SystemError(error.code(), "A file operation failed", context, error.path1()).Report());
  } catch (const std::bad_alloc&) {
    ShowMessage("SaldorAuto", RunError(errors::kOutOfMemory, "Out of memory").Report());
  } catch (const std::exception& error) {
    ShowMessage("SaldorAuto", RunError(errors::kInternalError, error.what()).Report());
  }
  EndProcess(kExitFailed);
}

}  // namespace saldor
