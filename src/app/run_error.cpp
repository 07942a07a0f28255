#include "app/run_error.h"

#include <utility>

#include "app/error_numbers.h"
#include "app/platform.h"

namespace saldor {

RunError::RunError(int number, std::string description, std::vector<std::string> context)
    : std::runtime_error("error " + std::to_string(number) + ": " + description),
      number_(number),
      description_(std::move(description)),
      context_(std::move(context)) {}

RunError& RunError::AddContext(std::string line) {
  context_.push_back(std::move(line));
  return *this;
}

std::string RunError::Report() const {
  std::string out = "error " + std::to_string(number_) + ": " + description_ + "\n";
  for (const std::string& line : context_) out += "  " + line + "\n";
  return out;
}

RunError FileNotFoundError(const std::string& path) {
  return RunError(errors::kFileNotFound, "File not found", {"file: " + path});
}

RunError InputPastEndOfFileError(const std::string& path) {
  return RunError(errors::kInputPastEndOfFile, "Input past end of file", {"file: " + path});
}

RunError TypeMismatchError(std::vector<std::string> context) {
  return RunError(errors::kTypeMismatch, "Type mismatch", std::move(context));
}

RunError OverflowError(std::vector<std::string> context) {
  return RunError(errors::kOverflow, "Overflow", std::move(context));
}

RunError InvalidUseOfNullError(std::vector<std::string> context) {
  return RunError(errors::kInvalidUseOfNull, "Invalid use of Null", std::move(context));
}

int ClassicErrorNumber(const std::error_code& error, const std::filesystem::path& path) {
  if (!error) return errors::kPathFileAccessError;
  const std::error_condition condition = error.default_error_condition();
  if (condition == std::errc::no_space_on_device || condition == std::errc::file_too_large) {
    return errors::kDiskFull;
  }
  if (condition == std::errc::permission_denied ||
      condition == std::errc::operation_not_permitted ||
      condition == std::errc::read_only_file_system) {
    return errors::kPermissionDenied;
  }
  if (condition == std::errc::not_a_directory) return errors::kPathNotFound;
  if (condition == std::errc::no_such_file_or_directory) {
    // The system says the same for a missing file and for a missing folder on its way.
    std::error_code ignored;
    const std::filesystem::path folder = path.parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
      return errors::kPathNotFound;
    }
    return errors::kFileNotFound;
  }
  return errors::kPathFileAccessError;
}

RunError SystemError(const std::error_code& error, const std::string& what,
                     std::vector<std::string> context, const std::filesystem::path& path) {
  const int number = ClassicErrorNumber(error, path);
  if (!error) return RunError(number, what + ": Path/File access error", std::move(context));
  SystemErrorText system = DescribeSystemError(error);
  if (system.text.empty()) system.text = "no text";
  RunError failure(number, what + ": " + system.text, std::move(context));
  failure.AddContext("detail: " + system.name + " " + std::to_string(error.value()) + ": " +
                     system.text);
  return failure;
}

}  // namespace saldor
