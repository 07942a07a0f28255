#include "app/part_file.h"

#include <system_error>
#include <utility>

#include "app/run_error.h"
#include "app/text.h"

namespace saldor {

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), path_(std::filesystem::path(target_) += ".part") {}

PartFile::~PartFile() {
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
}

void PartFile::Commit() {
  std::error_code ec;
  std::filesystem::rename(path_, target_, ec);
  if (ec) {
    throw SystemError(ec, "Cannot put the finished file in place",
                      {"file: " + PathText(path_), "target: " + PathText(target_)}, target_);
  }
  committed_ = true;
}

}  // namespace saldor
