#ifndef SALDOR_APP_RUN_WATCHDOG_H_
#define SALDOR_APP_RUN_WATCHDOG_H_

#include <chrono>
#include <memory>
#include <string>

namespace saldor {

// The last guard of an unattended run: once the run has lasted its limit, the process ends,
// whatever its threads are doing (a call that never returns, a message box nobody acknowledges),
// so that the next start finds the instance lock free. Not copyable.
class RunWatchdog {
 public:
  // Starts the watch. Once `limit` has passed, unless the watchdog has been destroyed first,
  // a thread of its own writes the error report "error 1460: The run went past its time limit"
  // with the stage last entered and `limitText` to the standard error stream (waiting for the
  // stream a few seconds at most) and ends the process at once with `exitStatus`, running no
  // destructor and waiting for nothing.
  RunWatchdog(std::chrono::milliseconds limit, std::string limitText, int exitStatus);
  RunWatchdog(const RunWatchdog&) = delete;
  RunWatchdog& operator=(const RunWatchdog&) = delete;

  // Ends the watch; does not wait for its thread.
  ~RunWatchdog();

  // Names what the run does from now on, as the report's context line ("task: ...", "while:
  // ..."). Safe to call from any thread.
  void Enter(std::string stage);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace saldor

#endif  // SALDOR_APP_RUN_WATCHDOG_H_
