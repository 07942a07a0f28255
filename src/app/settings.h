#ifndef SALDOR_APP_SETTINGS_H_
#define SALDOR_APP_SETTINGS_H_

#include <functional>
#include <optional>
#include <string>

namespace saldor {

// The settings a run takes from its environment, read once at start-up.
struct Settings {
  std::string ftpHost;   // SALDOR_FTP_HOST; the built-in default when unset
  int ftpPort = 21;      // SALDOR_FTP_PORT
  int pacingMs = 15000;  // SALDOR_PACING_MS: the length of each pacing wait
  int runLimitS = 3600;  // SALDOR_RUN_LIMIT_S: the longest a run may last, in seconds

  // Reads the settings through `lookup` (a variable's value, or nothing when it is unset).
  // An empty or malformed value raises error 13 naming the setting and its value.
  static Settings Read(const std::function<std::optional<std::string>(const char*)>& lookup);

  // Reads the settings from the process environment.
  static Settings FromEnvironment();
};

}  // namespace saldor

#endif  // SALDOR_APP_SETTINGS_H_
