#include "transfer/download_order_file.h"

namespace saldor {

void DownloadOrderFile(RunContext& /*context*/) {}

}  // namespace saldor
