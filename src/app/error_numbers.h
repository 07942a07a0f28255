#ifndef SALDOR_APP_ERROR_NUMBERS_H_
#define SALDOR_APP_ERROR_NUMBERS_H_

// Every number a run's error report can carry is named here, and each means one thing.
//
//   classic runtime numbers   the classic conditions: files, folders, conversions
//   ADO numbers               the database layer's own conditions (no driver involved)
//   the driver's native error a database failure the driver reported, unless its native error is
//                             one of the numbers named here (then the unspecified database error);
//                             its report always carries a "SQLSTATE" line with the native error
//   12001-12175               FTP failures, WinINet's numbers on every platform; the FTP library's
//                             own code and text follow in the report ("curl 28: ...")
//   1460                      the run went past its time limit (Windows' number for a timeout)
//
// A library's or the system's own code (errno, GetLastError, libcurl's code) never becomes the
// number itself; it stays in the report's detail lines.

namespace saldor::errors {

// Classic runtime numbers.
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInternalError = 51;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEndOfFile = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidUseOfNull = 94;
// A text file whose bytes cannot be decoded, or an order file cell holding a NUL character.
inline constexpr int kInvalidFileFormat = 321;

// ADO numbers, for conditions the database layer finds itself.
inline constexpr int kItemNotFoundInCollection = 3265;
inline constexpr int kObjectClosed = 3704;
// A database failure without a native error of its own: a driver that gave native error 0, no
// ODBC driver manager, a database that is neither SQL Server nor SQLite.
inline constexpr int kUnspecifiedDatabaseError = -2147467259;  // 0x80004005
// A statement or a login that ran past its time limit (SQLSTATE HYT00 or HYT01).
inline constexpr int kDatabaseTimeout = -2147217871;  // 0x80040E31

// The run went past its time limit, SALDOR_RUN_LIMIT_S; the watchdog ends it.
inline constexpr int kRunTimeout = 1460;

// FTP failures: WinINet's numbers, used by every FTP client implementation.
inline constexpr int kFtpTimeout = 12002;          // no answer, or a stalled transfer
inline constexpr int kFtpExtendedError = 12003;    // the server refused; its reply is in the report
inline constexpr int kFtpInternalError = 12004;    // the FTP library itself failed
inline constexpr int kFtpNameNotResolved = 12007;  // the host name is not known
inline constexpr int kFtpLoginFailure = 12015;     // user or password refused
inline constexpr int kFtpCannotConnect = 12029;    // no connection to the server
inline constexpr int kFtpConnectionAborted = 12030;  // the connection broke during a transfer

// True when `number` is one of the numbers named here. A driver's native error that is one of them
// does not become the report's number: SQLite's 13 (database full) would read as Type mismatch and
// SQL Server's 53 (network path not found) as File not found.
constexpr bool IsNamedNumber(int number) {
  constexpr int kNamed[] = {kOverflow,
                            kOutOfMemory,
                            kTypeMismatch,
                            kInternalError,
                            kFileNotFound,
                            kDiskFull,
                            kInputPastEndOfFile,
                            kPermissionDenied,
                            kPathFileAccessError,
                            kPathNotFound,
                            kInvalidUseOfNull,
                            kInvalidFileFormat,
                            kItemNotFoundInCollection,
                            kObjectClosed,
                            kUnspecifiedDatabaseError,
                            kDatabaseTimeout,
                            kRunTimeout};
  for (int named : kNamed) {
    if (number == named) return true;
  }
  return number >= 12001 && number <= 12175;  // WinINet's range, kept for FTP failures
}

}  // namespace saldor::errors

#endif  // SALDOR_APP_ERROR_NUMBERS_H_
