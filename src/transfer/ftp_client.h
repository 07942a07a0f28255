#ifndef SALDOR_TRANSFER_FTP_CLIENT_H_
#define SALDOR_TRANSFER_FTP_CLIENT_H_

// The FTP client the order file download drives. Each platform supplies one implementation
// (ftp_client_curl.cpp on libcurl, ftp_client_wininet.cpp on Windows); the download sees only
// this interface.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace saldor {

// The partner's FTP account: a bare host name, the control port and the login.
struct FtpAccount {
  std::string host;
  int port = 21;
  std::string user;
  std::string password;
};

// The time limits of an FTP session. Connecting and logging in that take longer than `connect`,
// a reply the server has not given within `response` of its command (the greeting: of the
// connection), or a transfer that moves less than one byte a second for `stall` end the operation
// with errors::kFtpTimeout.
struct FtpLimits {
  std::chrono::seconds connect{30};
  std::chrono::seconds response{60};
  std::chrono::seconds stall{60};
};

// One FTP session in passive mode. Not copyable. Every failure (server unreachable, login
// refused, listing or transfer error, stalled connection) raises RunError with one of the FTP
// numbers of app/error_numbers.h (a local file failure: the classic file number) and context lines
// naming the host, the operation and the file when there is one, the library's own code and text
// in a "detail:" line.
class FtpClient {
 public:
  FtpClient() = default;
  FtpClient(const FtpClient&) = delete;
  FtpClient& operator=(const FtpClient&) = delete;
  virtual ~FtpClient() = default;

  // Connects to `account` and logs in. Requires a client that is not open. On return the session
  // is in the account's login directory.
  virtual void Open(const FtpAccount& account) = 0;

  // The names of the entries of the login directory, in the order the server lists them.
  // Requires an open session.
  virtual std::vector<std::string> ListNames() = 0;

  // Copies the login directory's file `remoteName` (a name as listed, without folder) to
  // `localPath`, creating or replacing that file. Requires an open session. On failure the local
  // file may hold part of the data; the caller decides what to keep.
  virtual void GetFile(const std::string& remoteName, const std::filesystem::path& localPath) = 0;

  // Ends the session. Safe to call on a client that is not open; the destructor closes too.
  virtual void Close() = 0;
};

// The platform's FTP client, not yet open, keeping to `limits`.
std::unique_ptr<FtpClient> NewFtpClient(const FtpLimits& limits = FtpLimits());

}  // namespace saldor

#endif  // SALDOR_TRANSFER_FTP_CLIENT_H_
