#include "app/run_error.h"

#include <utility>

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
  return RunError(RunError::kFileNotFound, "File not found", {"file: " + path});
}

RunError InputPastEndOfFileError(const std::string& path) {
  return RunError(RunError::kInputPastEndOfFile, "Input past end of file", {"file: " + path});
}

RunError TypeMismatchError(std::vector<std::string> context) {
  return RunError(RunError::kTypeMismatch, "Type mismatch", std::move(context));
}

RunError OverflowError(std::vector<std::string> context) {
  return RunError(RunError::kOverflow, "Overflow", std::move(context));
}

RunError SubscriptOutOfRangeError(std::vector<std::string> context) {
  return RunError(RunError::kSubscriptOutOfRange, "Subscript out of range", std::move(context));
}

RunError InvalidUseOfNullError(std::vector<std::string> context) {
  return RunError(RunError::kInvalidUseOfNull, "Invalid use of Null", std::move(context));
}

}  // namespace saldor
