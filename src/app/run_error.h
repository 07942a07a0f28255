#ifndef SALDOR_APP_RUN_ERROR_H_
#define SALDOR_APP_RUN_ERROR_H_

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace saldor {

// The one kind of failure that stops a run. Nothing inside the program catches it: the top-level
// handler turns it into the error report "error <number>: <description>" followed by the context
// lines, and ends the process with status 1.
//
// Every number is one of those named in app/error_numbers.h; a library's or the system's own code
// goes into a context line ("detail: ...").
class RunError : public std::runtime_error {
 public:
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
RunError InvalidUseOfNullError(std::vector<std::string> context);

// The classic number of the system error `error` met on `path` ("" when no path is concerned):
// 61 Disk full, 70 Permission denied, 76 Path not found (not a folder, or a missing file whose
// folder is missing too), 53 File not found (a missing file in a folder that exists), 75
// Path/File access error for every other code and for a null `error` (no code known).
int ClassicErrorNumber(const std::error_code& error, const std::filesystem::path& path = {});

// A failed call of the system or the C library as a run error: the number ClassicErrorNumber
// gives, the description `what` followed by ": " and the system's text, then `context`, then
// "detail: " with the system's own code and text ("errno 13: Permission denied", or "Windows
// error 5: ..." for a Windows code). A null `error` gives "Path/File access error" as the text and
// no detail line.
RunError SystemError(const std::error_code& error, const std::string& what,
                     std::vector<std::string> context, const std::filesystem::path& path = {});

}  // namespace saldor

#endif  // SALDOR_APP_RUN_ERROR_H_
