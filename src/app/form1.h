#ifndef SALDOR_APP_FORM1_H_
#define SALDOR_APP_FORM1_H_

// The main window of a run. It is never shown: it is the event-processing object that carries
// the run log, the three buttons and the timer the pacing waits rest on. All of it runs on the
// one thread of the process.

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "app/dates.h"

namespace saldor {

// A millisecond timer. While enabled it expires each time its interval has passed since it was
// turned on (or since its last expiry); expiries are delivered by Form1::DoEvents.
class Timer {
 public:
  using SteadyPoint = std::chrono::steady_clock::time_point;

  int interval() const { return intervalMs_; }
  void SetInterval(int ms);
  bool enabled() const { return enabled_; }
  // Turning the timer on arms it for one interval from now; turning it off drops the deadline.
  void SetEnabled(bool on);
  // The moment of the next expiry; meaningful only while enabled.
  SteadyPoint deadline() const { return deadline_; }
  // Called when an expiry has been delivered: the next one is an interval later.
  void Rearm() { deadline_ += std::chrono::milliseconds(intervalMs_); }

 private:
  int intervalMs_ = 1000;
  bool enabled_ = false;
  SteadyPoint deadline_{};
};

// A button of the hidden window: its caption and its click handler (none for "Do Tasks").
struct Button {
  std::string caption;
  std::function<void()> onClick;
};

class Form1 {
 public:
  // Requires `endProgram`, what the Exit button does (close the database, end the process), and
  // the clock the log line reads. The window starts with an empty log, the timer off and
  // bTimerDone false.
  Form1(std::function<void()> endProgram, Clock clock);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  static constexpr const char* kCaption = "Saldor Auto Upload/Download 3.4";

  std::string txtResults;  // the run log
  Button btnClear;
  Button btnExit;
  Button bntDoTask;
  Timer Timer1;
  bool bTimerDone = false;

  // The load handler: replaces the whole log with the current date and time in general date form
  // followed by "  - Program Loaded", then runs `runTasks` (which ends the process in a real run).
  void Form_Load(const std::function<void()>& runTasks);

  // The handlers of the window's events.
  void Timer1_Timer();
  void btnClear_Click();
  void btnExit_Click();

  // Queues a window event (a click, say) for the next DoEvents.
  void PostEvent(std::function<void()> event);

  // Dispatches every pending event: queued events in order, then a due expiry of Timer1.
  void DoEvents();

  // Blocks until an event may be pending: until the next timer deadline, or not at all when an
  // event is queued. Never waits forever while the timer is on.
  void WaitForEvents();

 private:
  Clock clock_;
  std::deque<std::function<void()>> pending_;
};

}  // namespace saldor

#endif  // SALDOR_APP_FORM1_H_
