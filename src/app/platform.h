#ifndef SALDOR_APP_PLATFORM_H_
#define SALDOR_APP_PLATFORM_H_

// The seams where the program meets its operating system. Each function here has one
// implementation per platform (platform_posix.cpp, platform_windows.cpp); nothing outside these
// implementations assumes a particular operating system.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace saldor {

// The folder of the running executable itself (links resolved). A copy of the program in another
// folder is another installation, with its own config.txt, temp folder and lock. Raises RunError
// when the system cannot tell.
std::filesystem::path ProgramFolder();

// A lock held for the life of the process, telling whether another instance of the program in the
// same folder is running. Not copyable; releasing it (or the process end) lets the next run in.
class InstanceLock {
 public:
  // Takes the lock for the program installed in `programFolder`. Gives nullptr when another
  // running instance holds it; raises RunError when the lock cannot be tested at all.
  static std::unique_ptr<InstanceLock> TryAcquire(const std::filesystem::path& programFolder);

  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

 private:
  explicit InstanceLock(intptr_t handle) : handle_(handle) {}
  intptr_t handle_;
};

// Shows a message to whoever watches the run and waits until it is acknowledged where the
// platform can wait. On a console it is written to the standard error stream; the title is shown
// where a title can be shown.
void ShowMessage(const std::string& title, const std::string& text);

// Ends the process at once with `status`: no destructor or exit handler runs, output streams are
// flushed first.
[[noreturn]] void EndProcess(int status);

}  // namespace saldor

#endif  // SALDOR_APP_PLATFORM_H_
