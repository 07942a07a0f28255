#include "support/ftp_server.h"

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/test_database.h"

namespace saldor::testing {

FtpServer::FtpServer(const std::filesystem::path& root, const FtpServerOptions& options)
    : work_("saldor-ftp") {
  std::vector<std::string> args{SourcePath("scripts/ftp_server.py").string(),
                                "--root",
                                root.string(),
                                "--port",
                                std::to_string(options.port),
                                "--port-file",
                                (work_ / "port").string(),
                                "--log",
                                (work_ / "log").string(),
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
  // Generous: only a broken installation takes this long, and then the message says why.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(work_ / "port")) {
    if (!process_->Running() || std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the test FTP server did not start:\n" + process_->Output());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  port_ = std::stoi(ReadFile(work_ / "port"));
}

FtpServer::~FtpServer() = default;

std::vector<std::string> FtpServer::Log() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(work_ / "log"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace saldor::testing
