#ifndef SALDOR_TESTS_SUPPORT_TEMP_DIR_H_
#define SALDOR_TESTS_SUPPORT_TEMP_DIR_H_

#include <filesystem>
#include <string>

namespace saldor::testing {

// A fresh folder under the system's temp folder, removed with everything in it at the end.
// `name` (UTF-8) becomes part of the folder's name (it may hold blanks and non-ASCII letters).
class TempDir {
 public:
  explicit TempDir(const std::string& name = "saldor");
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& child) const { return path_ / child; }

 private:
  std::filesystem::path path_;
};

// Writes `content` to `path` as it is (binary).
void WriteFile(const std::filesystem::path& path, const std::string& content);
// The whole content of `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_TEMP_DIR_H_
