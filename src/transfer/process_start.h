#ifndef SALDOR_TRANSFER_PROCESS_START_H_
#define SALDOR_TRANSFER_PROCESS_START_H_

// How the program starts an outside script. One implementation per platform
// (process_start_posix.cpp, process_start_windows.cpp).

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace saldor {

// The path of the script `baseName` in `folder`, with this platform's script extension
// ("fileup" becomes "fileup.sh" on POSIX systems).
std::filesystem::path ScriptPath(const std::filesystem::path& folder, const std::string& baseName);

// Starts `script` directly, without a shell parsing anything, with exactly `args` as its
// arguments and the program's environment plus `env` (a value replaces one of the same name).
// The script runs in a session of its own, detached from the program: it is not waited for,
// leaves no zombie behind and goes on after the program ends. Returns once the script has been
// started; a script that cannot be started (missing, not executable) raises RunError with the
// system's error number and the script's path.
void StartDetachedScript(const std::filesystem::path& script, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& env);

}  // namespace saldor

#endif  // SALDOR_TRANSFER_PROCESS_START_H_
