#ifndef SALDOR_APP_PART_FILE_H_
#define SALDOR_APP_PART_FILE_H_

#include <filesystem>

namespace saldor {

// A file written under a temporary name beside its target ("<target>.part") and moved to the
// target only when complete, so that nobody ever finds a half-written file under the target's
// name. Unless Commit succeeded, the temporary file is removed at the end. Not copyable.
class PartFile {
 public:
  explicit PartFile(std::filesystem::path target);
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile();

  // Where to write the content.
  const std::filesystem::path& path() const { return path_; }
  const std::filesystem::path& target() const { return target_; }

  // Requires the content to be complete and closed at path(). Renames it to the target,
  // replacing a file of that name; a failure raises RunError naming both paths.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  bool committed_ = false;
};

}  // namespace saldor

#endif  // SALDOR_APP_PART_FILE_H_
