#include "app/form1.h"

#include <thread>
#include <utility>

namespace saldor {

void Timer::SetInterval(int ms) { intervalMs_ = ms; }

void Timer::SetEnabled(bool on) {
  enabled_ = on;
  if (on) deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs_);
}

Form1::Form1(std::function<void()> endProgram, Clock clock) : clock_(std::move(clock)) {
  btnClear = Button{"Clear", [this] { btnClear_Click(); }};
  btnExit = Button{"Exit", std::move(endProgram)};
  bntDoTask = Button{"Do Tasks", nullptr};
}

void Form1::Form_Load(const std::function<void()>& runTasks) {
  txtResults = FormatGeneralDate(LocalDateTime(clock_())) + "  - Program Loaded";
  runTasks();
}

void Form1::Timer1_Timer() {
  Timer1.SetEnabled(false);
  bTimerDone = true;
}

void Form1::btnClear_Click() { txtResults.clear(); }

void Form1::btnExit_Click() {
  if (btnExit.onClick) btnExit.onClick();
}

void Form1::PostEvent(std::function<void()> event) { pending_.push_back(std::move(event)); }

void Form1::DoEvents() {
  while (!pending_.empty()) {
    std::function<void()> event = std::move(pending_.front());
    pending_.pop_front();
    if (event) event();
  }
  if (Timer1.enabled() && std::chrono::steady_clock::now() >= Timer1.deadline()) {
    Timer1.Rearm();
    Timer1_Timer();
  }
}

void Form1::WaitForEvents() {
  if (!pending_.empty() || !Timer1.enabled()) return;
  std::this_thread::sleep_until(Timer1.deadline());
}

}  // namespace saldor
