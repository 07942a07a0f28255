#include "support/ftp_server.h"

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/process.h"
#include "support/test_database.h"

namespace saldor::testing {

FtpServer::FtpServer(const std::filesystem::path& root, const FtpServerOptions& options)
    : work_("saldor-ftp") {
  // The server serves while the file "alive" exists: it can be ended even where it is not a
  // child that can be killed (under wine, a unix program's process ends as soon as it starts).
  WriteFile(work_ / "alive", "");
  std::vector<std::string> args{HostPath(SourcePath("scripts/ftp_server.py")),
                                "--root",
                                HostPath(root),
                                "--port",
                                std::to_string(options.port),
                                "--port-file",
                                HostPath(work_ / "port"),
                                "--log",
                                HostPath(work_ / "log"),
                                "--while-exists",
                                HostPath(work_ / "alive"),
                                "--password",
                                options.password,
                                "--quiet"};
  for (const std::string& name : options.cutFiles) {
    args.push_back("--cut");
    args.push_back(name);
  }
  for (const std::string& name : options.stallFiles) {
    args.push_back("--stall");
    args.push_back(name);
  }
  for (const auto& [from, to] : options.renames) {
    args.insert(args.end(), {"--rename", from, to});
  }
  process_ = std::make_unique<BackgroundProcess>("/usr/bin/python3", args);
  // Generous: only a broken installation takes this long, and then the message says why. A
  // server that ends with an error is seen at once; under wine only the port file tells.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(work_ / "port")) {
    bool failed = !process_->Running() && process_->Wait(std::chrono::milliseconds(0)) != 0;
    if (failed || std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the test FTP server did not start:\n" + process_->Output());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  port_ = std::stoi(ReadFile(work_ / "port"));
}

FtpServer::~FtpServer() {
  // Ended through its file, and waited for, so that its port is free once this returns.
  std::error_code ec;
  std::filesystem::remove(work_ / "alive", ec);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!std::filesystem::exists(work_ / "alive.stopped") &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::vector<std::string> FtpServer::Log() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(work_ / "log"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace saldor::testing
