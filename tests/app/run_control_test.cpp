#include <gtest/gtest.h>

#include <chrono>

#include "app/error_numbers.h"
#include "app/form1.h"
#include "app/run_error.h"
#include "app/task_sequence.h"
#include "support/clock.h"
#include "support/test_database.h"

namespace saldor {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::FixedClock;
using testing::LocalMoment;

TEST(Form1Test, LoadReplacesTheLogWithTheGeneralDateLine) {
  Form1 form([] {}, FixedClock(LocalMoment(2026, 12, 7, 11, 32, 5)));
  form.txtResults = "left over from before";
  bool ran = false;
  form.Form_Load([&] { ran = true; });
  EXPECT_EQ(form.txtResults, "12/7/2026 11:32:05 AM  - Program Loaded");
  EXPECT_TRUE(ran);

  Form1 evening([] {}, FixedClock(LocalMoment(2027, 1, 15, 0, 4, 9)));
  evening.Form_Load([] {});
  EXPECT_EQ(evening.txtResults, "1/15/2027 12:04:09 AM  - Program Loaded");
  Form1 noon([] {}, FixedClock(LocalMoment(2026, 3, 9, 12, 0, 0)));
  noon.Form_Load([] {});
  EXPECT_EQ(noon.txtResults, "3/9/2026 12:00:00 PM  - Program Loaded");
}

TEST(PacingWaitTest, EndsAtTheFirstExpiryAfterArmingAndLeavesTheTimerOff) {
  Form1 form([] {}, SystemClock());
  auto start = steady_clock::now();
  PacingWait(form, 60);
  EXPECT_GE(steady_clock::now() - start, milliseconds(60));
}

TEST(PacingWaitTest, IsNeverEndedByAFlagOrExpiryLeftFromBefore) {
  Form1 form([] {}, SystemClock());
  PacingWait(form, 10);
  ASSERT_TRUE(form.bTimerDone);  // the flag the last wait left set
  // An expiry that fires while no wait is running sets the flag again.
  form.Timer1.SetInterval(1);
  form.Timer1.SetEnabled(true);
  std::this_thread::sleep_for(milliseconds(5));
  form.DoEvents();
  ASSERT_TRUE(form.bTimerDone);
  ASSERT_FALSE(form.Timer1.enabled());
  auto start = steady_clock::now();
  PacingWait(form, 120);
  EXPECT_GE(steady_clock::now() - start, milliseconds(120));
}

class RunTasksTest : public ::testing::Test {
 protected:
  testing::TestDatabase tdb;
  Settings settings{"localhost", 21, 5};
  Screen screen;
  RunContext context{tdb.db(), "/nonexistent", settings, screen};
  Form1 form{[] {}, SystemClock()};
  std::vector<std::string> trace;

  Task Record(const std::string& name) {
    return {name, [this, name](RunContext&) {
              trace.push_back(name + (form.Timer1.enabled() ? " (timer on)" : ""));
            }};
  }
};

TEST_F(RunTasksTest, RunsEveryTaskInOrderThenEnds) {
  int waitsSeen = 0;
  std::vector<Task> tasks{Record("one"), Record("two"), Record("three"), Record("four")};
  // Each wait leaves bTimerDone set; count the waits through the tasks that follow them.
  for (std::size_t i = 1; i < tasks.size(); ++i) {
    auto inner = tasks[i].run;
    tasks[i].run = [&, inner](RunContext& c) {
      if (form.bTimerDone) ++waitsSeen;
      form.bTimerDone = false;
      inner(c);
    };
  }
  bool ended = false;
  RunTasks(context, form, tasks, [&] {
    trace.push_back("end");
    ended = true;
  });
  EXPECT_EQ(trace, (std::vector<std::string>{"one", "two", "three", "four", "end"}));
  EXPECT_EQ(waitsSeen, 3);
  EXPECT_TRUE(ended);
}

TEST_F(RunTasksTest, AFailureStopsTheRunAtThatTask) {
  std::vector<Task> tasks{
      {"ExportAvailableInventory",
       [](RunContext&) { throw RunError(errors::kObjectClosed, "Operation is not allowed"); }},
      Record("ExportOrderStatus"),
      Record("DownloadOrderFile"),
      Record("ImportOrderFile")};
  bool ended = false;
  try {
    RunTasks(context, form, tasks, [&] { ended = true; });
    FAIL() << "the failure did not reach the caller";
  } catch (const RunError& error) {
    EXPECT_EQ(error.number(), errors::kObjectClosed);
    EXPECT_NE(error.Report().find("task: ExportAvailableInventory"), std::string::npos);
  }
  EXPECT_TRUE(trace.empty());
  EXPECT_FALSE(ended);
}

}  // namespace
}  // namespace saldor
