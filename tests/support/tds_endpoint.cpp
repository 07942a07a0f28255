#include "support/tds_endpoint.h"

#include <chrono>
#include <sstream>
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

std::vector<std::string> TdsEndpoint::Requests() const {
  std::vector<std::string> requests;
  std::istringstream in(ReadFile(work_ / "log"));
  for (std::string line; std::getline(in, line);) {
    const std::string hex = line.substr(line.find(' ') + 1);
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
      bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    requests.push_back(std::move(bytes));
  }
  return requests;
}

bool TdsEndpoint::Received(const std::string& bytes) const {
  for (const std::string& request : Requests()) {
    if (request.find(bytes) != std::string::npos) return true;
  }
  return false;
}

std::string Utf16Le(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
    unsigned int cp = length == 1 ? c : length == 2 ? (c & 0x1F) : (c & 0x0F);
    for (int k = 1; k < length; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    i += length;
    out.push_back(static_cast<char>(cp & 0xFF));
    out.push_back(static_cast<char>(cp >> 8));
  }
  return out;
}

}  // namespace saldor::testing
