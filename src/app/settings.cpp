#include "app/settings.h"

#include <charconv>
#include <cstdlib>

#include "app/run_error.h"

#ifndef SALDOR_DEFAULT_FTP_HOST
#define SALDOR_DEFAULT_FTP_HOST "localhost"
#endif

namespace saldor {
namespace {

int ReadInteger(const char* name, const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
    throw TypeMismatchError(
        {std::string("setting ") + name + "=\"" + text + "\"",
         "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high)});
  }
  return value;
}

}  // namespace

Settings Settings::Read(const std::function<std::optional<std::string>(const char*)>& lookup) {
  Settings settings;
  settings.ftpHost = SALDOR_DEFAULT_FTP_HOST;
  if (auto host = lookup("SALDOR_FTP_HOST")) {
    if (host->empty() || host->find_first_of(" \t/@") != std::string::npos) {
      throw TypeMismatchError({"setting SALDOR_FTP_HOST=\"" + *host + "\"",
                               "expected a bare host name without scheme, port or path"});
    }
    settings.ftpHost = *host;
  }
  if (auto port = lookup("SALDOR_FTP_PORT")) {
    settings.ftpPort = ReadInteger("SALDOR_FTP_PORT", *port, 1, 65535);
  }
  if (auto pacing = lookup("SALDOR_PACING_MS")) {
    settings.pacingMs = ReadInteger("SALDOR_PACING_MS", *pacing, 0, 3600000);
  }
  if (auto limit = lookup("SALDOR_RUN_LIMIT_S")) {
    settings.runLimitS = ReadInteger("SALDOR_RUN_LIMIT_S", *limit, 1, 86400);
  }
  return settings;
}

Settings Settings::FromEnvironment() {
  return Read([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  });
}

}  // namespace saldor
