#ifndef SALDOR_APP_RUN_ERROR_H_
#define SALDOR_APP_RUN_ERROR_H_

#include <stdexcept>
#include <string>
#include <vector>

namespace saldor {

// The one kind of failure that stops a run. Nothing inside the program catches it: the top-level
// handler turns it into the error report "error <number>: <description>" followed by the context
// lines, and ends the process with status 1.
//
// Numbers follow the classic runtime numbers for the classic cases (see the constants below);
// database, FTP and system failures carry the driver's or library's own number.
class RunError : public std::runtime_error {
 public:
  static constexpr int kOverflow = 6;
  static constexpr int kSubscriptOutOfRange = 9;
  static constexpr int kTypeMismatch = 13;
  static constexpr int kFileNotFound = 53;
  static constexpr int kInputPastEndOfFile = 62;
  static constexpr int kInvalidUseOfNull = 94;

  // Requires a description that says what went wrong; context lines name what is at fault
  // (file, setting, row, column, value) and may be added later with AddContext.
  RunError(int number, std::string description, std::vector<std::string> context = {});

  int number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::vector<std::string>& context() const { return context_; }

  // Adds one line of context, e.g. "row 12, column 23". Returns *this so that a caller that
  // knows more can enrich an error and rethrow it.
  RunError& AddContext(std::string line);

  // The whole report: the first line "error <number>: <description>", then each context line
  // indented by two blanks, each line ended by "\n".
  std::string Report() const;

 private:
  int number_;
  std::string description_;
  std::vector<std::string> context_;
};

// The classic errors, with their classic descriptions.
RunError FileNotFoundError(const std::string& path);
RunError InputPastEndOfFileError(const std::string& path);
RunError TypeMismatchError(std::vector<std::string> context);
RunError OverflowError(std::vector<std::string> context);
RunError SubscriptOutOfRangeError(std::vector<std::string> context);
RunError InvalidUseOfNullError(std::vector<std::string> context);

}  // namespace saldor

#endif  // SALDOR_APP_RUN_ERROR_H_
