#ifndef SALDOR_APP_TASK_SEQUENCE_H_
#define SALDOR_APP_TASK_SEQUENCE_H_

#include <functional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/run_context.h"

namespace saldor {

// One step of the job: a name for the error report, and the entry point.
struct Task {
  std::string name;
  std::function<void(RunContext&)> run;
};

// The pacing wait: clears bTimerDone, arms form.Timer1 for `intervalMs` and dispatches window
// events until the timer's handler has set bTimerDone. Ends at the first expiry after the arming,
// never on a flag or expiry left from an earlier wait. Blocks between events instead of spinning.
void PacingWait(Form1& form, int intervalMs);

// The job of one run: each task in order with a pacing wait (context.settings.pacingMs) after
// every task but the last, then `endProgram`. A task's failure propagates at once: the later
// tasks, the waits after it and `endProgram` do not run. A failure gets the task's name added to
// its report.
void RunTasks(RunContext& context, Form1& form, const std::vector<Task>& tasks,
              const std::function<void()>& endProgram);

}  // namespace saldor

#endif  // SALDOR_APP_TASK_SEQUENCE_H_
