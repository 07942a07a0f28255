#ifndef SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
#define SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_

#include <filesystem>

#include "app/dates.h"
#include "transfer/ftp_client.h"

namespace saldor {

// `DownloadOrderFile`: fetches today's order file (the date read once from `clock`) from the
// server of `account` into `programFolder` when the server lists it, under any case of its
// letters. No such file is no failure: nothing happens. Any FTP or file failure raises RunError,
// and an earlier file of today's name stays as it was. The FTP session keeps to `limits`.
void DownloadOrderFile(const std::filesystem::path& programFolder, const FtpAccount& account,
                       const Clock& clock, const FtpLimits& limits = FtpLimits());

}  // namespace saldor

#endif  // SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
