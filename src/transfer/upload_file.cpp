#include "transfer/upload_file.h"

#include <string>

#include "transfer/partner_account.h"
#include "transfer/process_start.h"

namespace saldor {
namespace {

// The path as UTF-8 text, whatever the platform's own narrow encoding of paths.
std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

void UploadFile(RunContext& context, const std::filesystem::path& file) {
  const std::filesystem::path script = ScriptPath(context.TempFolder(), "fileup");
  // The script learns the port the same way the program did, so that both reach one server.
  StartDetachedScript(script,
                      {context.settings.ftpHost, kPartnerFtpUser, kPartnerFtpPassword,
                       Utf8(std::filesystem::absolute(file))},
                      {{"SALDOR_FTP_PORT", std::to_string(context.settings.ftpPort)}});
}

}  // namespace saldor
