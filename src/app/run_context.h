#ifndef SALDOR_APP_RUN_CONTEXT_H_
#define SALDOR_APP_RUN_CONTEXT_H_

#include <filesystem>

#include "app/database.h"
#include "app/dates.h"
#include "app/settings.h"

namespace saldor {

// The mouse pointer the tasks set while they work: 11 busy, 0 default. A headless platform shows
// nothing; the value is kept so that the state is there.
struct Screen {
  static constexpr int kDefault = 0;
  static constexpr int kBusy = 11;
  int MousePointer = kDefault;
};

// What every task of a run may use. The tasks pass nothing to one another: each takes what it
// needs from here, the database and the disk.
struct RunContext {
  Database& cnDatabase;
  std::filesystem::path programFolder;
  const Settings& settings;
  Screen& screen;
  Clock clock = SystemClock();

  // The program folder's "temp" folder, where the outbound files and the upload script live.
  std::filesystem::path TempFolder() const { return programFolder / "temp"; }
};

// Sets the busy pointer for its lifetime and restores the default at its end.
class BusyPointer {
 public:
  explicit BusyPointer(Screen& screen) : screen_(screen) { screen_.MousePointer = Screen::kBusy; }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
  ~BusyPointer() { screen_.MousePointer = Screen::kDefault; }

 private:
  Screen& screen_;
};

}  // namespace saldor

#endif  // SALDOR_APP_RUN_CONTEXT_H_
