#ifndef SALDOR_TRANSFER_UPLOAD_FILE_H_
#define SALDOR_TRANSFER_UPLOAD_FILE_H_

#include <filesystem>

#include "transfer/ftp_client.h"

namespace saldor {

// `UploadFile`: hands `file` (its full path) to the upload script in `tempFolder`, with the host,
// user and password of `account` and the file as its four arguments, and the account's port in
// its environment (SALDOR_FTP_PORT). Starts the script as a process of its own and does not wait
// for it; the script outlives the program. A script that cannot be started raises RunError.
void UploadFile(const std::filesystem::path& tempFolder, const FtpAccount& account,
                const std::filesystem::path& file);

}  // namespace saldor

#endif  // SALDOR_TRANSFER_UPLOAD_FILE_H_
