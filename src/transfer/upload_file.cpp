#include "transfer/upload_file.h"

#include <string>

#include "app/text.h"
#include "transfer/partner_account.h"
#include "transfer/process_start.h"

namespace saldor {

void UploadFile(RunContext& context, const std::filesystem::path& file) {
  const std::filesystem::path script = ScriptPath(context.TempFolder(), "fileup");
  // The script learns the port the same way the program did, so that both reach one server.
  StartDetachedScript(script,
                      {context.settings.ftpHost, kPartnerFtpUser, kPartnerFtpPassword,
                       PathText(std::filesystem::absolute(file))},
                      {{"SALDOR_FTP_PORT", std::to_string(context.settings.ftpPort)}});
}

}  // namespace saldor
