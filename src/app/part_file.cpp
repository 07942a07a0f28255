#include "app/part_file.h"

#include <system_error>
#include <utility>

#include "app/run_error.h"

namespace saldor {

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), path_(target_.string() + ".part") {}

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
    throw RunError(ec.value(), "Cannot put the finished file in place: " + ec.message(),
                   {"file: " + path_.string(), "target: " + target_.string()});
  }
  committed_ = true;
}

}  // namespace saldor
