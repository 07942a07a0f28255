#ifndef SALDOR_TESTS_SUPPORT_FTP_SERVER_H_
#define SALDOR_TESTS_SUPPORT_FTP_SERVER_H_

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace saldor::testing {

struct FtpServerOptions {
  std::string password = "qT#wz4Lp";         // the password the server accepts for "ftpvend1"
  std::vector<std::string> cutFiles;         // downloads of these names break off halfway
  std::vector<std::string> stallFiles = {};  // downloads of these names stop sending halfway
  // Files of the root the server renames (first to second) before it serves: names a Windows test
  // cannot write side by side, such as two that differ only in case.
  std::vector<std::pair<std::string, std::string>> renames = {};
  int port = 0;  // the port to listen on; 0 takes a free one
};

// A real FTP server (scripts/ftp_server.py on pyftpdlib) on 127.0.0.1 and a free port (or the one
// `options` names), serving `root` as the login directory of "ftpvend1". Started by the
// constructor, which returns once the server listens; stopped by the destructor.
class FtpServer {
 public:
  explicit FtpServer(const std::filesystem::path& root, const FtpServerOptions& options = {});
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;
  ~FtpServer();

  static constexpr const char* kHost = "127.0.0.1";
  int port() const { return port_; }

  // The server's transfer log so far, one entry per transfer or refused login: "sent NAME",
  // "incomplete NAME", "received NAME", "login-failed USER", and "stalled NAME" when a stalling
  // download has sent its first half.
  std::vector<std::string> Log() const;

 private:
  TempDir work_;
  std::unique_ptr<BackgroundProcess> process_;
  int port_ = 0;
};

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_SUPPORT_FTP_SERVER_H_
