#ifndef SALDOR_TRANSFER_UPLOAD_FILE_H_
#define SALDOR_TRANSFER_UPLOAD_FILE_H_

#include <filesystem>

#include "app/run_context.h"

namespace saldor {

// `UploadFile`: hands `file` (its full path) to the upload script in the temp folder, with the
// partner host, account name, password and the file as its four arguments. Starts the script as
// a process of its own and does not wait for it; the script outlives the program. A script that
// cannot be started raises RunError.
void UploadFile(RunContext& context, const std::filesystem::path& file);

}  // namespace saldor

#endif  // SALDOR_TRANSFER_UPLOAD_FILE_H_
