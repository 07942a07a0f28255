#include "app/task_sequence.h"

#include "app/run_error.h"

namespace saldor {

void PacingWait(Form1& form, int intervalMs) {
  form.bTimerDone = false;
  form.Timer1.SetInterval(intervalMs);
  form.Timer1.SetEnabled(true);
  while (!form.bTimerDone) {
    form.WaitForEvents();
    form.DoEvents();
  }
}

void RunTasks(RunContext& context, Form1& form, const std::vector<Task>& tasks,
              const std::function<void()>& endProgram) {
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    try {
      tasks[i].run(context);
    } catch (RunError& error) {
      error.AddContext("task: " + tasks[i].name);
      throw;
    }
    if (i + 1 < tasks.size()) PacingWait(form, context.settings.pacingMs);
  }
  endProgram();
}

}  // namespace saldor
