#include "transfer/upload_file.h"

#include <string>

#include "app/text.h"
#include "transfer/process_start.h"

namespace saldor {

void UploadFile(const std::filesystem::path& tempFolder, const FtpAccount& account,
                const std::filesystem::path& file) {
  const std::filesystem::path script = ScriptPath(tempFolder, "fileup");
  // The script learns the port the same way the program did, so that both reach one server.
  StartDetachedScript(
      script,
      {account.host, account.user, account.password, PathText(std::filesystem::absolute(file))},
      {{"SALDOR_FTP_PORT", std::to_string(account.port)}});
}

}  // namespace saldor
