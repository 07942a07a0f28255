#ifndef SALDOR_APP_MOD_MAIN_H_
#define SALDOR_APP_MOD_MAIN_H_

// Start-up and the end of a run.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/database.h"
#include "app/task_sequence.h"

namespace saldor {

// Exit statuses of the process.
constexpr int kExitOk = 0;              // the job ran to EndProgram
constexpr int kExitFailed = 1;          // a failure stopped the run (the error report was shown)
constexpr int kExitAlreadyRunning = 2;  // another instance was running; nothing was done

constexpr int kLoginTimeoutSeconds = 10;
// Every statement's time limit. Nothing else watches an unattended run.
constexpr int kStatementTimeoutSeconds = 30;

// The full connection string: the prefix from config.txt, then "PWD=QXV;". A prefix that does not
// end in ";" (blanks after it aside) gets one first, so that the password stays a setting of its
// own.
std::string ConnectionStringFor(const std::string& prefix);

// `OpenDatabase`: opens cnDatabase with the full connection string and the 10-second login
// timeout. A failure raises the driver's error.
std::unique_ptr<Database> OpenDatabase(const std::string& prefix);

// The whole program: reads the settings and config.txt, opens the database, refuses to run beside
// another instance (status 2), creates the hidden main window and runs `tasks` through RunTasks,
// ending with EndProgram (status 0). Every failure ends in the one error report on the standard
// error stream and status 1. A run that lasts longer than the settings' run limit ends there,
// whatever it is doing, with error 1460 naming the task it was in, and status 1 (RunWatchdog).
// Never returns.
[[noreturn]] void RunProgram(const std::vector<Task>& tasks);

}  // namespace saldor

#endif  // SALDOR_APP_MOD_MAIN_H_
