#include "support/tds_endpoint.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/process.h"
#include "support/test_database.h"

namespace saldor::testing {

TdsEndpoint::TdsEndpoint(const std::string& scriptJson) : work_("saldor-tds") {
  WriteFile(work_ / "script.json", scriptJson);
  WriteFile(work_ / "log", "");
  // The endpoint serves while the file "alive" exists: under wine the unix program it runs as is
  // no child that the destructor could end.
  WriteFile(work_ / "alive", "");
  process_ = std::make_unique<BackgroundProcess>(
      "/usr/bin/python3",
      std::vector<std::string>{HostPath(SourcePath("tests/support/tds_endpoint.py")),
                               HostPath(work_ / "script.json"), HostPath(work_ / "log"),
                               HostPath(work_ / "port"), HostPath(work_ / "alive")});
  // Generous: only a broken installation takes this long, and then the message says why. An
  // endpoint that ends with an error is seen at once; under wine only the port file tells.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(work_ / "port")) {
    const bool failed = !process_->Running() && process_->Wait(std::chrono::milliseconds(0)) != 0;
    if (failed || std::chrono::steady_clock::now() > deadline) {
      throw std::runtime_error("the test TDS endpoint did not start:\n" + process_->Output());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  port_ = std::stoi(ReadFile(work_ / "port"));
}

TdsEndpoint::~TdsEndpoint() {
  std::error_code ec;
  std::filesystem::remove(work_ / "alive", ec);
}

std::string TdsEndpoint::FreeTdsConnectionString(const std::string& extra) const {
  return "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(port_) +
         ";Database=Business;UID=saldor;PWD=QXV;" + extra;
}

}  // namespace saldor::testing
