#include "transfer/upload_file.h"

namespace saldor {

void UploadFile(RunContext& /*context*/, const std::filesystem::path& /*file*/) {}

}  // namespace saldor
