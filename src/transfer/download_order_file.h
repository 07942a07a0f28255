#ifndef SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
#define SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/dates.h"
#include "transfer/ftp_client.h"

namespace saldor {

// What a download did: today's order file in the program folder, and whether the server listed
// it, under which name, and how many bytes were fetched.
struct OrderFileDownload {
  std::filesystem::path file;
  bool fetched = false;
  std::string listedName;
  std::uintmax_t bytes = 0;
};

// `DownloadOrderFile`: fetches today's order file (the date read once from `clock`) from the
// server of `account` into `programFolder` when the server lists it, under any case of its
// letters. No such file is no failure: nothing happens. Any FTP or file failure raises RunError,
// and an earlier file of today's name stays as it was. The FTP session keeps to `limits`.
OrderFileDownload DownloadOrderFile(const std::filesystem::path& programFolder,
                                    const FtpAccount& account, const Clock& clock,
                                    const FtpLimits& limits = FtpLimits());

}  // namespace saldor

#endif  // SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
