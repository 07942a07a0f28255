#ifndef SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
#define SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_

#include "app/run_context.h"

namespace saldor {

// `DownloadOrderFile`: Fetches today's order file from the partner's FTP server when it is listed.
void DownloadOrderFile(RunContext& context);

}  // namespace saldor

#endif  // SALDOR_TRANSFER_DOWNLOAD_ORDER_FILE_H_
